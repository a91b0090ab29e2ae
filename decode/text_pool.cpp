#include "decode/text_pool.h"

#include <functional>
#include <string_view>

namespace {

// Buckets of a hashed set hold a pointer each; a node a pointer beside its value.
constexpr size_t kNodeBytes = sizeof(void*) + sizeof(uint32_t) + sizeof(size_t);

size_t stringBytes(const std::string& text) {
    // Short texts live inside the string itself.
    return sizeof(std::string) + (text.capacity() > std::string().capacity() ? text.capacity() : 0);
}

}  // namespace

TextPool::TextPool() : index_(0, Hash{this}, Equal{this}) {}

size_t TextPool::Hash::operator()(uint32_t index) const {
    size_t hash = 0;
    for (const std::string& text : (*pool)[index]) {
        hash = hash * 31 + std::hash<std::string_view>{}(text);
    }
    return hash;
}

uint32_t TextPool::intern(AnnotationTexts texts) {
    lists_.push_back(std::move(texts));
    const auto [at, added] = index_.insert(static_cast<uint32_t>(lists_.size() - 1));
    if (!added) {
        lists_.pop_back();
    }
    return *at;
}

size_t TextPool::bytesHeld() const {
    size_t bytes = lists_.capacity() * sizeof(AnnotationTexts) +
                   index_.bucket_count() * sizeof(void*) + index_.size() * kNodeBytes;
    for (const AnnotationTexts& texts : lists_) {
        bytes += (texts.capacity() - texts.size()) * sizeof(std::string);
        for (const std::string& text : texts) {
            bytes += stringBytes(text);
        }
    }
    return bytes;
}
