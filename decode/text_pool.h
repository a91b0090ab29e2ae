#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

// An annotation's texts: the full one first, then shorter forms.
using AnnotationTexts = std::vector<std::string>;

// Each different list of texts kept once: a decode of millions of annotations says the same few
// hundred things again and again ("Start bit", "41").
class TextPool {
public:
    TextPool();
    TextPool(const TextPool&) = delete;
    TextPool& operator=(const TextPool&) = delete;

    // The number of `texts`, kept now if they were not yet.
    uint32_t intern(AnnotationTexts texts);
    const AnnotationTexts& operator[](uint32_t index) const { return lists_[index]; }
    size_t size() const { return lists_.size(); }
    // The bytes the lists and their index hold.
    size_t bytesHeld() const;

private:
    // The index holds numbers into lists_ and compares what they stand for.
    struct Hash {
        const TextPool* pool;
        size_t operator()(uint32_t index) const;
    };
    struct Equal {
        const TextPool* pool;
        bool operator()(uint32_t a, uint32_t b) const { return (*pool)[a] == (*pool)[b]; }
    };

    std::vector<AnnotationTexts> lists_;
    std::unordered_set<uint32_t, Hash, Equal> index_;
};
