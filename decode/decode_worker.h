#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "decode/decoder_run.h"

// Decodes, and lists the decoders, on a thread of its own, one piece of work at a time, so that
// the thread that asks never waits for the decoder library. A new decode ends the one under way
// (between two chunks of samples). `ready` runs on the worker's thread whenever a result can be
// taken, which the asking thread then does; a decode that was ended gives none.
class DecodeWorker {
public:
    struct Listed {
        bool ok = false;
        std::vector<DecoderInfo> decoders;
        std::string error;  // why the library could not list them
    };
    struct Decoded {
        uint64_t id = 0;  // as the request gave it
        DecodeResult result;
    };

    explicit DecodeWorker(std::function<void()> ready);
    // Ends a decode under way and waits for the thread.
    ~DecodeWorker();
    DecodeWorker(const DecodeWorker&) = delete;
    DecodeWorker& operator=(const DecodeWorker&) = delete;

    void listDecoders();
    // Replaces a decode not yet started and ends the one under way.
    void decode(uint64_t id, std::vector<DecoderStack> stacks, DecodeInput input);
    // Drops a decode not yet started and ends the one under way.
    void cancel();

    std::optional<Listed> takeListed();
    std::optional<Decoded> takeDecoded();

private:
    struct Request {
        uint64_t id = 0;
        std::vector<DecoderStack> stacks;
        DecodeInput input;
    };

    void run();
    // Waits for work; false when the worker is to end.
    bool nextWork(bool& list, std::optional<Request>& request);

    std::function<void()> ready_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool quit_ = false;
    bool listWanted_ = false;
    std::optional<Request> pending_;
    std::optional<Listed> listed_;
    std::optional<Decoded> decoded_;
    std::atomic<bool> cancel_{false};
    std::thread thread_;  // last: it starts once everything it reads is there
};
