#include "shell/qt_annotation_model.h"

#include "app/decoding/decoder_rows.h"
#include "app/readout/recording_time.h"
#include "core/measure_text.h"
#include "core/scope_session.h"
#include "core/time_base.h"
#include "shell/qt_template_builder.h"

AnnotationModel::AnnotationModel(QObject* parent) : QAbstractTableModel(parent) {}

void AnnotationModel::refresh() {
    const DesktopDecoding& d = desktopDecoding;
    beginResetModel();
    entries_ = tableEntries(d.rows, chosenRows(d.rows, tableChoice), d.result.annotations);
    endResetModel();
}

std::optional<uint32_t> AnnotationModel::startOf(int line) const {
    if (line < 0 || line >= rowCount() || !holds(entries_[static_cast<size_t>(line)])) {
        return std::nullopt;
    }
    return desktopDecoding.result.annotations.startOf(
        entries_[static_cast<size_t>(line)].annotation);
}

int AnnotationModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(entries_.size());
}

int AnnotationModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QString AnnotationModel::cellText(const TableEntry& entry, int column) const {
    const DesktopDecoding& d = desktopDecoding;
    const AnnotationRef annotation = d.result.annotations[entry.annotation];
    const uint64_t sample = uint64_t{annotation.start} + scopeSession.sampleOrigin;
    switch (column) {
        case SampleColumn:
            return QString::number(sample);
        case TimeColumn: {
            const TimeBase* time = recordingTime();
            return time == nullptr
                       ? QString()
                       : toQString(formatSeconds(time->secondsAt(static_cast<double>(sample))));
        }
        case RowColumn:
            return toQString(d.rows[entry.row].title);
        default:
            return annotation.texts.empty() ? QString() : toQString(annotation.texts.front());
    }
}

// A line made before the decoding was reset, and not yet made again, reads nothing.
bool AnnotationModel::holds(const TableEntry& entry) const {
    return entry.row < desktopDecoding.rows.size() &&
           entry.annotation < desktopDecoding.result.annotations.size();
}

QVariant AnnotationModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() ||
        !holds(entries_[static_cast<size_t>(index.row())])) {
        return {};
    }
    const TableEntry& entry = entries_[static_cast<size_t>(index.row())];
    if (role == Qt::DisplayRole) {
        return cellText(entry, index.column());
    }
    if (role == Qt::ToolTipRole) {
        return toQString(annotationTooltip(desktopDecoding.rows[entry.row],
                                           desktopDecoding.result.annotations[entry.annotation]));
    }
    if (role == Qt::TextAlignmentRole && index.column() <= TimeColumn) {
        return static_cast<int>(Qt::AlignRight | Qt::AlignVCenter);
    }
    return {};
}

QVariant AnnotationModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    static const char* const kTitles[ColumnCount] = {"Sample", "Time", "Row", "Text"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(kTitles[section])
                                                 : QVariant();
}
