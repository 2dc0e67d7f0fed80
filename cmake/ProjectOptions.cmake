# One interface target carries the warnings and defines every target of the project uses.
option(PRAXILO_WERROR "Treat warnings as errors" OFF)
option(PRAXILO_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

add_library(praxilo_options INTERFACE)
target_compile_features(praxilo_options INTERFACE cxx_std_20)
target_compile_options(praxilo_options INTERFACE -Wall -Wextra -Wpedantic)
target_compile_definitions(praxilo_options INTERFACE
    QT_NO_KEYWORDS
    QT_USE_QSTRINGBUILDER)
if(PRAXILO_WERROR)
    target_compile_options(praxilo_options INTERFACE -Werror)
endif()
if(PRAXILO_SANITIZE)
    target_compile_options(praxilo_options INTERFACE
        -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(praxilo_options INTERFACE -fsanitize=address,undefined)
endif()

# Every target made after this point gets the options: no target links them by hand.
link_libraries(praxilo_options)
