#include "shell/qt_decoded_data.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QShortcut>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/decoding/annotation_search.h"
#include "shell/qt_annotation_model.h"
#include "shell/qt_template_builder.h"

DecodedDataPanel::DecodedDataPanel(QWidget* parent, std::function<void(uint32_t)> showSample,
                                   std::function<void()> backToTraces)
    : QDockWidget(QStringLiteral("Decoded Data"), parent),
      showSample_(std::move(showSample)),
      backToTraces_(std::move(backToTraces)) {
    setObjectName(QStringLiteral("decodedData"));
    model_ = new AnnotationModel(this);
    table_ = new QTableView;
    table_->setModel(model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 4);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setAccessibleName(QStringLiteral("Decoded data"));
    connect(table_, &QTableView::clicked, this, [this](const QModelIndex& index) {
        if (const std::optional<uint32_t> start = model_->startOf(index.row())) {
            showSample_(*start);
        }
    });
    auto* body = new QWidget;
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(buildSearchBar());
    layout->addWidget(table_);
    setWidget(body);
    sizeColumns();
    addShortcuts();
    refresh();
}

// The search field on a line of its own, under it Rows, Previous, Next and what was found.
QWidget* DecodedDataPanel::buildSearchBar() {
    auto* bar = new QWidget;
    auto* layout = new QGridLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    rows_ = new QToolButton;
    rows_->setText(QStringLiteral("Rows"));
    rows_->setPopupMode(QToolButton::InstantPopup);
    rows_->setMenu(new QMenu(rows_));
    connect(rows_->menu(), &QMenu::aboutToShow, this, [this] { offerRows(); });
    search_ = new QLineEdit;
    search_->setPlaceholderText(QStringLiteral("Find: text, 0x41 or \"Pinp\""));
    search_->setClearButtonEnabled(true);
    search_->setAccessibleName(QStringLiteral("Find in decoded data"));
    search_->installEventFilter(this);
    auto* previous = new QToolButton;
    previous->setText(QStringLiteral("Previous"));
    connect(previous, &QToolButton::clicked, this, [this] { findMatch(false); });
    auto* next = new QToolButton;
    next->setText(QStringLiteral("Next"));
    connect(next, &QToolButton::clicked, this, [this] { findMatch(true); });
    found_ = new QLabel;
    layout->addWidget(search_, 0, 0, 1, 5);
    int column = 0;
    for (QWidget* part : std::initializer_list<QWidget*>{rows_, previous, next, found_}) {
        layout->addWidget(part, 1, column++);
    }
    layout->setColumnStretch(3, 1);
    return bar;
}

// Sample, time and row as wide as their usual contents, the text the rest; measured once, not
// over every line.
void DecodedDataPanel::sizeColumns() {
    const int digit = table_->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    table_->horizontalHeader()->resizeSection(AnnotationModel::SampleColumn, 9 * digit);
    table_->horizontalHeader()->resizeSection(AnnotationModel::TimeColumn, 11 * digit);
    table_->horizontalHeader()->resizeSection(AnnotationModel::RowColumn, 16 * digit);
    widget()->setMinimumWidth(52 * digit);
}

// F3 and Shift+F3 anywhere in the panel.
void DecodedDataPanel::addShortcuts() {
    for (const bool forward : {true, false}) {
        auto* key = new QShortcut(
            forward ? QKeySequence(Qt::Key_F3) : QKeySequence(Qt::SHIFT | Qt::Key_F3), this);
        key->setContext(Qt::WidgetWithChildrenShortcut);
        connect(key, &QShortcut::activated, this, [this, forward] { findMatch(forward); });
    }
}

// Enter in the search field finds the next match, Shift+Enter the one before.
bool DecodedDataPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == search_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            findMatch(!key->modifiers().testFlag(Qt::ShiftModifier));
            return true;
        }
    }
    return QDockWidget::eventFilter(watched, event);
}

// Esc stays in the panel: let through, the window would take it as Cancel and clear the marker.
void DecodedDataPanel::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Escape || event->modifiers() != Qt::NoModifier) {
        QDockWidget::keyPressEvent(event);
        return;
    }
    if (search_->hasFocus() && !search_->text().isEmpty()) {
        search_->clear();
    } else {
        backToTraces_();
    }
    event->accept();
}

void DecodedDataPanel::refresh() {
    model_->refresh();
    found_->clear();
}

// The rows that hold annotations, each ticked while the table shows it.
void DecodedDataPanel::offerRows() {
    QMenu& menu = *rows_->menu();
    menu.clear();
    const DesktopDecoding& d = desktopDecoding;
    for (const size_t row : chosenRows(d.rows, TableChoice{})) {
        const std::string title = d.rows[row].title;
        QAction* action = menu.addAction(toQString(title));
        action->setCheckable(true);
        action->setChecked(tableChoice.leftOut.count(title) == 0);
        connect(action, &QAction::toggled, this, [this, title](bool shown) {
            if (shown) {
                tableChoice.leftOut.erase(title);
            } else {
                tableChoice.leftOut.insert(title);
            }
            refresh();
        });
    }
    if (menu.isEmpty()) {
        menu.addAction(QStringLiteral("(no decoded rows)"))->setEnabled(false);
    }
}

bool DecodedDataPanel::findMatch(bool forward) {
    const std::optional<AnnotationQuery> query =
        parseAnnotationQuery(search_->text().toStdString());
    if (!query) {
        found_->setText(search_->text().isEmpty() ? QString() : QStringLiteral("Not a byte"));
        return false;
    }
    const std::vector<TableEntry>& entries = model_->entries();
    const QModelIndex current = table_->currentIndex();
    const size_t from = current.isValid() ? static_cast<size_t>(current.row())
                        : forward         ? entries.size() - 1
                                          : 0;
    const std::optional<size_t> hit =
        ::findMatch(*query, entries, desktopDecoding.result.annotations, from, forward);
    if (!hit) {
        found_->setText(QStringLiteral("Not found"));
        return false;
    }
    showLine(static_cast<int>(*hit));
    return true;
}

// Chooses line `line`, the first of a match, and shows its sample on the traces.
void DecodedDataPanel::showLine(int line) {
    table_->setCurrentIndex(model_->index(line, 0));
    table_->selectRow(line);
    table_->scrollTo(model_->index(line, 0), QAbstractItemView::PositionAtCenter);
    found_->setText(QStringLiteral("Line %1 of %2").arg(line + 1).arg(model_->rowCount()));
    if (const std::optional<uint32_t> start = model_->startOf(line)) {
        showSample_(*start);
    }
}
