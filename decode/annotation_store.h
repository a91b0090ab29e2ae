#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "decode/annotation.h"
#include "decode/text_pool.h"

// One annotation as it reads, its strings those of a store (kept once there) or of an Annotation:
// valid while those are neither changed nor gone.
struct AnnotationRef {
    AnnotationRef(uint32_t start, uint32_t end, size_t stack, const std::string& instance,
                  const std::string& decoder, int annotationClass, int row,
                  const std::vector<std::string>& texts, bool spansGap)
        : start(start),
          end(end),
          stack(stack),
          instance(instance),
          decoder(decoder),
          annotationClass(annotationClass),
          row(row),
          texts(texts),
          spansGap(spansGap) {}
    // An annotation as a decoder gave it reads the same.
    AnnotationRef(const Annotation& a)  // NOLINT(google-explicit-constructor)
        : AnnotationRef(a.start, a.end, a.stack, a.instance, a.decoder, a.annotationClass, a.row,
                        a.texts, a.spansGap) {}

    uint32_t start;
    uint32_t end;
    size_t stack;
    const std::string& instance;
    const std::string& decoder;
    int annotationClass;
    int row;
    const std::vector<std::string>& texts;
    bool spansGap;
};

// Annotations kept compactly, for decodes with millions of them: a small fixed record each, and
// every text list and every giving decoder kept once, however often it comes.
class AnnotationStore {
public:
    class Iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = AnnotationRef;
        using difference_type = std::ptrdiff_t;

        Iterator(const AnnotationStore& store, size_t at) : store_(&store), at_(at) {}
        AnnotationRef operator*() const { return (*store_)[at_]; }
        Iterator& operator++() {
            ++at_;
            return *this;
        }
        bool operator==(const Iterator& other) const { return at_ == other.at_; }

    private:
        const AnnotationStore* store_;
        size_t at_;
    };

    AnnotationStore();

    void add(Annotation annotation);
    void clear();

    size_t size() const { return records_.size(); }
    bool empty() const { return records_.empty(); }
    AnnotationRef operator[](size_t index) const;
    Iterator begin() const { return {*this, 0}; }
    Iterator end() const { return {*this, records_.size()}; }

    // Cheap reads of what the rows' drawing and ordering need.
    uint32_t startOf(size_t index) const { return records_[index].start; }
    uint32_t endOf(size_t index) const { return records_[index].end; }
    int classOf(size_t index) const { return records_[index].annotationClass; }

    // How many different lists of texts the store keeps.
    size_t textLists() const { return texts_->size(); }
    // The bytes the store holds, its strings and its tables' slack included.
    size_t bytesHeld() const;

private:
    struct Record {
        uint32_t start;
        uint32_t end;
        uint32_t texts;  // into texts_
        int16_t annotationClass;
        int16_t row;
        uint16_t source;  // into sources_
        bool spansGap;
    };
    // Who gave an annotation: a handful per decode.
    struct Source {
        size_t stack;
        std::string instance;
        std::string decoder;
    };

    uint16_t sourceIndex(const Annotation& annotation);

    std::vector<Record> records_;
    // On the heap, so that its index's references to it survive a move of the store.
    std::unique_ptr<TextPool> texts_;
    std::vector<Source> sources_;
};
