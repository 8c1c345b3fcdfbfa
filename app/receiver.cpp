#include "app/receiver.hpp"

namespace tevo {

struct ReceiverState {};

void ReceiverStateDeleter::operator()(ReceiverState* state) const {
    delete state;
}

void loadReceiverPlugins(AppState&) {}

void startReceiver(AppState&) {}

void receiverStep(AppState&) {}

void stopReceiver(AppState& app) {
    app.receiver.reset();
}

} // namespace tevo
