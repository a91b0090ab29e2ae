#include "decode/decoder_run.h"

#include <algorithm>
#include <deque>
#include <map>
#include <mutex>

#include "decode/sigrok_calls.h"
#include "decode/sigrok_library.h"
#include "decode/sigrok_values.h"

namespace {

constexpr uint64_t kChunkSamples = 64 * 1024;

struct Given {
    uint64_t start = 0;
    uint64_t end = 0;
    Annotation annotation;
};

// Filled on the decoders' threads while the caller's waits in srd_session_send.
struct Collector {
    std::map<const srd_decoder_inst*, size_t> stackOf;
    std::map<const srd_decoder_inst*, const DecoderInfo*> infoOf;
    // Each stack has a session of its own; the instances are named as one session over all of
    // them names them ("uart-1", "uart-2").
    std::map<const srd_decoder_inst*, std::string> nameOf;
    std::map<std::string, int> named;  // instances of each decoder so far
    std::mutex mutex;
    std::vector<Given> given;
    // Where the annotations go as they come; none: they are kept to the end.
    const AnnotationSink* sink = nullptr;
};

void collect(srd_proto_data* data, void* context) {
    auto& collector = *static_cast<Collector*>(context);
    const auto* content = static_cast<const srd_proto_data_annotation*>(data->data);
    const srd_decoder_inst* instance = data->pdo->di;
    Given given{data->start_sample, data->end_sample, {}};
    Annotation& annotation = given.annotation;
    annotation.stack = collector.stackOf.at(instance);
    annotation.instance = collector.nameOf.at(instance);
    annotation.decoder = instance->decoder->id;
    annotation.annotationClass = content->ann_class;
    annotation.row = collector.infoOf.at(instance)->rowOf(content->ann_class);
    for (char** text = content->ann_text; text != nullptr && *text != nullptr; ++text) {
        annotation.texts.emplace_back(*text);
    }
    std::lock_guard lock(collector.mutex);
    collector.given.push_back(std::move(given));
}

// A table of strings to GVariants, as the library takes options and channel maps. The keys are
// the table's own, kept beside it.
class VariantTable {
public:
    explicit VariantTable(const SigrokCalls& sigrok)
        : sigrok_(sigrok),
          table_(sigrok.g_hash_table_new_full(
              sigrok.g_str_hash, sigrok.g_str_equal, nullptr,
              reinterpret_cast<GDestroyNotify>(sigrok.g_variant_unref))) {}
    ~VariantTable() { sigrok_.g_hash_table_destroy(table_); }
    VariantTable(const VariantTable&) = delete;
    VariantTable& operator=(const VariantTable&) = delete;

    void put(const std::string& key, GVariant* value) {
        std::string& kept = keys_.emplace_back(key);
        sigrok_.g_hash_table_insert(table_, kept.data(), sigrok_.g_variant_ref_sink(value));
    }
    GHashTable* table() const { return table_; }

private:
    const SigrokCalls& sigrok_;
    GHashTable* const table_;
    std::deque<std::string> keys_;
};

srd_decoder_inst* newInstance(const SigrokCalls& sigrok, srd_session* session,
                              const DecoderSetup& setup) {
    VariantTable options(sigrok);
    for (const auto& [id, value] : setup.options) {
        options.put(id, newVariant(sigrok, value));
    }
    srd_decoder_inst* instance =
        sigrok.srd_inst_new(session, setup.info.id.c_str(), options.table());
    if (instance == nullptr || setup.channels.empty()) {
        return instance;
    }
    VariantTable channels(sigrok);
    for (const auto& [id, index] : setup.channels) {
        channels.put(id, sigrok.g_variant_new_int32(index));
    }
    return sigrok.srd_inst_channel_set_all(instance, channels.table()) == SRD_OK ? instance
                                                                                 : nullptr;
}

bool buildStack(const SigrokCalls& sigrok, srd_session* session, const DecoderStack& stack,
                size_t stackIndex, Collector& collector) {
    srd_decoder_inst* below = nullptr;
    for (const DecoderSetup& setup : stack) {
        srd_decoder_inst* instance = newInstance(sigrok, session, setup);
        if (instance == nullptr ||
            (below != nullptr && sigrok.srd_inst_stack(session, below, instance) != SRD_OK)) {
            return false;
        }
        collector.stackOf[instance] = stackIndex;
        collector.infoOf[instance] = &setup.info;
        collector.nameOf[instance] =
            setup.info.id + "-" + std::to_string(++collector.named[setup.info.id]);
        below = instance;
    }
    return true;
}

uint32_t dataIndex(const DecodeInput& input, uint64_t decoderSample) {
    if (decoderSample >= input.levels.size()) {
        return input.dataCount;
    }
    return input.source.empty() ? static_cast<uint32_t>(decoderSample)
                                : input.source[decoderSample];
}

// Whether the sampling stood still during decoder samples [start, end).
bool spansStall(const DecodeInput& input, uint64_t start, uint64_t end) {
    return std::any_of(input.stalls.begin(), input.stalls.end(), [&](const auto& stall) {
        return stall.first < end && start < stall.second;
    });
}

// Hands what the decoders gave so far, in data indexes, to `put`, in the order given.
template <typename Put>
void placeAnnotations(const DecodeInput& input, Collector& collector, const Put& put) {
    // Between two chunks and at the end the decoders' threads wait; the lock tells the thread
    // checker so.
    std::lock_guard lock(collector.mutex);
    for (Given& g : collector.given) {
        Annotation& annotation = g.annotation;
        annotation.start = dataIndex(input, g.start);
        annotation.end = std::max(annotation.start, dataIndex(input, g.end));
        annotation.spansGap = spansStall(input, g.start, g.end);
        put(std::move(annotation));
    }
    collector.given.clear();
}

// Hands what came so far to the sink, where there is one, else keeps it in the result: either
// way the decoders' own records go chunk by chunk. False when the sink asks to stop.
bool handOver(const DecodeInput& input, Collector& collector, DecodeResult& result) {
    if (collector.sink == nullptr) {
        placeAnnotations(input, collector,
                         [&result](Annotation&& a) { result.annotations.add(std::move(a)); });
        return true;
    }
    std::vector<Annotation> batch;
    placeAnnotations(input, collector, [&batch](Annotation&& a) { batch.push_back(std::move(a)); });
    return (*collector.sink)(batch);
}

bool feed(const SigrokCalls& sigrok, srd_session* session, const DecodeInput& input,
          const std::atomic<bool>* cancel, Collector& collector, DecodeResult& result) {
    const uint64_t count = input.levels.size();
    for (uint64_t at = 0; at < count; at += kChunkSamples) {
        if (cancel != nullptr && cancel->load()) {
            result.cancelled = true;
            return false;
        }
        const uint64_t end = std::min(count, at + kChunkSamples);
        if (sigrok.srd_session_send(session, at, end, input.levels.data() + at, end - at, 1) !=
            SRD_OK) {
            return false;
        }
        if (!handOver(input, collector, result)) {
            result.cancelled = true;
            return false;
        }
    }
    return true;
}

bool decode(const SigrokCalls& sigrok, const DecoderStack& stack, size_t stackIndex,
            const DecodeInput& input, const std::atomic<bool>* cancel, Collector& collector,
            DecodeResult& result) {
    srd_session* session = nullptr;
    if (sigrok.srd_session_new(&session) != SRD_OK) {
        return false;
    }
    bool ok =
        buildStack(sigrok, session, stack, stackIndex, collector) &&
        sigrok.srd_pd_output_callback_add(session, SRD_OUTPUT_ANN, &collect, &collector) == SRD_OK;
    if (ok && input.sampleRate > 0) {
        ok = sigrok.srd_session_metadata_set(session, SRD_CONF_SAMPLERATE,
                                             sigrok.g_variant_new_uint64(input.sampleRate)) ==
             SRD_OK;
    }
    ok = ok && sigrok.srd_session_start(session) == SRD_OK &&
         feed(sigrok, session, input, cancel, collector, result);
    sigrok.srd_session_terminate_reset(session);
    sigrok.srd_session_destroy(session);
    return ok;
}

// Decodes stack `s` in a session of its own, so that its failure leaves the others whole.
void decodeStack(SigrokLibrary& library, const std::vector<DecoderStack>& stacks, size_t s,
                 const DecodeInput& input, const std::atomic<bool>* cancel, Collector& collector,
                 DecodeResult& result) {
    const bool ok = decode(library.calls(), stacks[s], s, input, cancel, collector, result);
    std::string error = library.takeErrors();
    if (!ok && error.empty() && !result.cancelled) {
        error = "the decoder library refused the decoders";
    }
    if (!error.empty()) {
        result.error += (result.error.empty() ? "" : "\n") + error;
    }
    result.stackErrors.push_back(std::move(error));
}

// Runs each stack in a session of its own, their annotations going to the collector's sink or
// into the result.
DecodeResult run(const std::vector<DecoderStack>& stacks, const DecodeInput& input,
                 const std::atomic<bool>* cancel, Collector& collector) {
    DecodeResult result;
    SigrokLibrary library;
    if (!library.ready()) {
        result.error = library.startError();
        return result;
    }
    library.takeErrors();
    for (size_t s = 0; s < stacks.size() && !result.cancelled; ++s) {
        decodeStack(library, stacks, s, input, cancel, collector, result);
        // What came at the stack's end, or before its error; a sink that asked to stop gets no
        // more.
        if (!result.cancelled && !handOver(input, collector, result)) {
            result.cancelled = true;
        }
    }
    result.ok = !result.cancelled && result.error.empty();
    result.needsSampleRate =
        !result.ok && input.sampleRate == 0 && result.error.find("samplerate") != std::string::npos;
    return result;
}

}  // namespace

DecodeResult runDecoders(const std::vector<DecoderStack>& stacks, const DecodeInput& input,
                         const std::atomic<bool>* cancel) {
    Collector collector;
    return run(stacks, input, cancel, collector);
}

DecodeResult streamDecoders(const std::vector<DecoderStack>& stacks, const DecodeInput& input,
                            const AnnotationSink& sink) {
    Collector collector;
    collector.sink = &sink;
    return run(stacks, input, nullptr, collector);
}
