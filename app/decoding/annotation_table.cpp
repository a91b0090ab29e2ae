#include "app/decoding/annotation_table.h"

#include <algorithm>

TableChoice tableChoice;

std::vector<size_t> chosenRows(const std::vector<DecoderRow>& rows, const TableChoice& choice) {
    std::vector<size_t> chosen;
    for (size_t row = 0; row < rows.size(); ++row) {
        if (rows[row].message.empty() && !rows[row].annotations.empty() &&
            choice.leftOut.count(rows[row].title) == 0) {
            chosen.push_back(row);
        }
    }
    return chosen;
}

std::vector<TableEntry> tableEntries(const std::vector<DecoderRow>& rows,
                                     const std::vector<size_t>& chosen,
                                     const AnnotationStore& annotations) {
    std::vector<TableEntry> entries;
    const auto byStart = [&annotations](const TableEntry& a, const TableEntry& b) {
        return annotations.startOf(a.annotation) < annotations.startOf(b.annotation);
    };
    // Each row is in order already: one merge per row, stable, so ties keep the rows' order.
    for (const size_t row : chosen) {
        const size_t before = entries.size();
        for (const uint32_t annotation : rows[row].annotations) {
            entries.push_back({static_cast<uint32_t>(row), annotation});
        }
        std::inplace_merge(entries.begin(), entries.begin() + static_cast<ptrdiff_t>(before),
                           entries.end(), byStart);
    }
    return entries;
}
