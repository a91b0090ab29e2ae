#include "decode/decode_worker.h"

#include <utility>

DecodeWorker::DecodeWorker(std::function<void()> ready)
    : ready_(std::move(ready)), thread_([this] { run(); }) {}

DecodeWorker::~DecodeWorker() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
        pending_.reset();
        cancel_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void DecodeWorker::listDecoders() {
    {
        std::lock_guard lock(mutex_);
        listWanted_ = true;
    }
    wake_.notify_one();
}

void DecodeWorker::decode(uint64_t id, std::vector<DecoderStack> stacks, DecodeInput input) {
    {
        std::lock_guard lock(mutex_);
        pending_ = Request{id, std::move(stacks), std::move(input)};
        cancel_ = true;
    }
    wake_.notify_one();
}

void DecodeWorker::cancel() {
    std::lock_guard lock(mutex_);
    pending_.reset();
    cancel_ = true;
}

std::optional<DecodeWorker::Listed> DecodeWorker::takeListed() {
    std::lock_guard lock(mutex_);
    return std::exchange(listed_, std::nullopt);
}

std::optional<DecodeWorker::Decoded> DecodeWorker::takeDecoded() {
    std::lock_guard lock(mutex_);
    return std::exchange(decoded_, std::nullopt);
}

bool DecodeWorker::nextWork(bool& list, std::optional<Request>& request) {
    std::unique_lock lock(mutex_);
    wake_.wait(lock, [this] { return quit_ || listWanted_ || pending_.has_value(); });
    if (quit_) {
        return false;
    }
    list = std::exchange(listWanted_, false);
    if (!list) {
        request = std::exchange(pending_, std::nullopt);
        // Taken under the lock: a decode asked for after this ends this one.
        cancel_ = false;
    }
    return true;
}

void DecodeWorker::run() {
    while (true) {
        bool list = false;
        std::optional<Request> request;
        if (!nextWork(list, request)) {
            return;
        }
        if (list) {
            Listed listed;
            listed.ok = ::listDecoders(listed.decoders, listed.error);
            std::lock_guard lock(mutex_);
            listed_ = std::move(listed);
        } else {
            DecodeResult result = runDecoders(request->stacks, request->input, &cancel_);
            if (result.cancelled) {
                continue;
            }
            std::lock_guard lock(mutex_);
            decoded_ = Decoded{request->id, std::move(result)};
        }
        ready_();
    }
}
