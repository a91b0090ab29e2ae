#include "decode/annotation_store.h"

AnnotationStore::AnnotationStore() : texts_(std::make_unique<TextPool>()) {}

uint16_t AnnotationStore::sourceIndex(const Annotation& annotation) {
    // Annotations come in runs from the same instance: the last one found is tried first.
    for (size_t i = sources_.size(); i-- > 0;) {
        const Source& source = sources_[i];
        if (source.stack == annotation.stack && source.instance == annotation.instance &&
            source.decoder == annotation.decoder) {
            return static_cast<uint16_t>(i);
        }
    }
    sources_.push_back(Source{annotation.stack, annotation.instance, annotation.decoder});
    return static_cast<uint16_t>(sources_.size() - 1);
}

void AnnotationStore::add(Annotation annotation) {
    records_.push_back(
        Record{annotation.start, annotation.end, texts_->intern(std::move(annotation.texts)),
               static_cast<int16_t>(annotation.annotationClass),
               static_cast<int16_t>(annotation.row), sourceIndex(annotation), annotation.spansGap});
}

void AnnotationStore::clear() {
    *this = AnnotationStore();
}

AnnotationRef AnnotationStore::operator[](size_t index) const {
    const Record& record = records_[index];
    const Source& source = sources_[record.source];
    return AnnotationRef(record.start, record.end, source.stack, source.instance, source.decoder,
                         record.annotationClass, record.row, (*texts_)[record.texts],
                         record.spansGap);
}

size_t AnnotationStore::bytesHeld() const {
    size_t bytes = records_.capacity() * sizeof(Record) + sources_.capacity() * sizeof(Source);
    return bytes + texts_->bytesHeld();
}
