#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>
#include <typeindex>

// One default instance per window class, created on first use and living until discarded,
// as the windows expect of each other.
namespace forms {

namespace detail {
QWidget* find(std::type_index type);
void store(std::type_index type, std::unique_ptr<QWidget> window);
void discard(std::type_index type);
}  // namespace detail

template <class Window>
Window& get() {
    if (QWidget* existing = detail::find(typeid(Window))) {
        return static_cast<Window&>(*existing);
    }
    auto window = std::make_unique<Window>();
    Window& ref = *window;
    detail::store(typeid(Window), std::move(window));
    return ref;
}

template <class Window>
Window* existing() {
    return static_cast<Window*>(detail::find(typeid(Window)));
}

template <class Window>
void discard() {
    detail::discard(typeid(Window));
}

// Deletes every window; the end of the program and the end of each test call it.
void discardAll();

}  // namespace forms
