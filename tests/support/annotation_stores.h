#pragma once

#include <vector>

#include "decode/annotation_store.h"

// `annotations` kept in a store, in their order, as a decode keeps them.
inline AnnotationStore storeOf(const std::vector<Annotation>& annotations) {
    AnnotationStore store;
    for (const Annotation& annotation : annotations) {
        store.add(annotation);
    }
    return store;
}
