#include "app/testseams.h"

namespace seams {
namespace {
std::unique_ptr<Recorder>& Current() {
    static std::unique_ptr<Recorder> recorder;
    return recorder;
}
}  // namespace

std::unique_ptr<QDialog> Recorder::TakeNextScreen() {
    if (navigations.isEmpty() || !navigations.last().factory) return nullptr;
    return navigations.last().factory();
}

Recorder& StartRecording() {
    Current() = std::make_unique<Recorder>();
    return *Current();
}

void StopRecording() {
    Current().reset();
}

Recorder* Active() {
    return Current().get();
}

}  // namespace seams
