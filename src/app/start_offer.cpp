#include "app/start_offer.h"

namespace app {
namespace {

std::function<bool()>& startOffer() {
    static std::function<bool()> offer;
    return offer;
}

}  // namespace

void setStartOffer(std::function<bool()> offer) {
    startOffer() = std::move(offer);
}

bool runStartOffer() {
    return startOffer() ? startOffer()() : false;
}

}  // namespace app
