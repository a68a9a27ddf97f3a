#include "mail/scripted_transport.h"

namespace almx::mail {

void ScriptedTransport::Connect(const TransportTarget& target) {
    ++generation_;
    connections.push_back(target);
    sent.emplace_back();
    if (refuseConnections) {
        events_.push_back([this] { listener_->OnConnectFailed(false); });
        return;
    }
    open = true;
    events_.push_back([this] { listener_->OnConnected("127.0.0.1"); });
    Deliver(greet ? greet(target) : std::optional<std::string>(""));
}

void ScriptedTransport::Deliver(const std::optional<std::string>& bytes) {
    const int generation = generation_;
    if (!bytes) {
        events_.push_back([this, generation] {
            if (generation == generation_ && open) {
                open = false;
                listener_->OnClosed();
            }
        });
        return;
    }
    const std::size_t step = splitAt == 0 ? bytes->size() : splitAt;
    for (std::size_t i = 0; i < bytes->size(); i += step) {
        events_.push_back([this, generation, piece = bytes->substr(i, step)] {
            if (generation == generation_ && open) listener_->OnBytes(piece);
        });
    }
}

void ScriptedTransport::Send(std::string_view bytes) {
    if (!open) return;
    sent.back().append(bytes);
    Deliver(answer ? answer(std::string(bytes)) : std::optional<std::string>(""));
}

void ScriptedTransport::StartTls() {
    const int generation = generation_;
    events_.push_back([this, generation] {
        if (generation != generation_ || !open) return;
        if (failTls)
            listener_->OnTlsFailed("handshake failed");
        else
            listener_->OnTlsReady();
    });
}

void ScriptedTransport::Close() {
    open = false;
    ++generation_;
}

void ScriptedTransport::Pump() {
    for (int guard = 0; guard < 100000 && !events_.empty(); ++guard) {
        auto event = std::move(events_.front());
        events_.pop_front();
        if (listener_) event();
    }
}

void ScriptedTransport::Advance(std::int64_t ms) {
    now_ += ms;
    if (deadline_ && now_ >= *deadline_ && listener_) {
        deadline_.reset();
        listener_->OnTimer();
    }
    Pump();
}

}  // namespace almx::mail
