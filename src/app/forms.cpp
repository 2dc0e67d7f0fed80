#include "app/forms.h"

#include <map>

namespace forms {

namespace {
std::map<std::type_index, std::unique_ptr<QWidget>>& registry() {
    static std::map<std::type_index, std::unique_ptr<QWidget>> windows;
    return windows;
}
}  // namespace

namespace detail {

QWidget* find(std::type_index type) {
    auto it = registry().find(type);
    return it == registry().end() ? nullptr : it->second.get();
}

void store(std::type_index type, std::unique_ptr<QWidget> window) {
    registry()[type] = std::move(window);
}

void discard(std::type_index type) {
    auto it = registry().find(type);
    if (it == registry().end()) {
        return;
    }
    // Take it out first, and delete it later: a window often discards itself from one of its
    // own handlers, which must be allowed to return first.
    std::unique_ptr<QWidget> window = std::move(it->second);
    registry().erase(it);
    window->hide();
    window.release()->deleteLater();
}

}  // namespace detail

void discardAll() {
    while (!registry().empty()) {
        auto it = registry().begin();
        std::unique_ptr<QWidget> window = std::move(it->second);
        registry().erase(it);
        window.reset();
    }
}

}  // namespace forms
