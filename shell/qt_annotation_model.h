#pragma once

#include <QAbstractTableModel>
#include <optional>
#include <vector>

#include "app/decoding/annotation_table.h"

// The decoded-data table over the program's decoding as it stands: a line per annotation of the
// rows chosen, by first sample, with its sample, time, row and text. It keeps two numbers a line
// and reads the rest from the decoding when a cell is drawn.
class AnnotationModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { SampleColumn, TimeColumn, RowColumn, TextColumn, ColumnCount };

    explicit AnnotationModel(QObject* parent = nullptr);

    // The rows or their annotations changed: the lines are made again.
    void refresh();
    const std::vector<TableEntry>& entries() const { return entries_; }
    // The data index of line `line`'s first sample; none for a line not there.
    std::optional<uint32_t> startOf(int line) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    bool holds(const TableEntry& entry) const;
    QString cellText(const TableEntry& entry, int column) const;

    std::vector<TableEntry> entries_;
};
