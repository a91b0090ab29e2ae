#pragma once

#include <QDockWidget>
#include <functional>

class AnnotationModel;
class QLabel;
class QLineEdit;
class QTableView;
class QToolButton;

// View > Decoded Data: the annotations of the decoder rows chosen (Rows), as a table by first
// sample. A click on a line, or a match found, marks its sample on the traces and shows it. The
// search field takes a text, a byte (0x41) or quoted characters ("Pinp"); Enter and F3 find the
// next match, Shift+Enter and Shift+F3 the one before. Esc empties the search field, and
// once it is empty gives the keyboard back to the traces; the marker stays where it was.
class DecodedDataPanel : public QDockWidget {
    Q_OBJECT

public:
    // `showSample` marks and shows a data index on the traces; `backToTraces` gives them the
    // keyboard.
    DecodedDataPanel(QWidget* parent, std::function<void(uint32_t)> showSample,
                     std::function<void()> backToTraces);

    // The decoders' rows or their annotations changed.
    void refresh();
    // The next match after the line chosen (or before it); false, and says so, without one.
    bool findMatch(bool forward);

    QTableView& table() const { return *table_; }
    QLineEdit& searchField() const { return *search_; }
    QLabel& searchResult() const { return *found_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* buildSearchBar();
    void sizeColumns();
    void addShortcuts();
    void offerRows();
    void showLine(int line);

    std::function<void(uint32_t)> showSample_;
    std::function<void()> backToTraces_;
    AnnotationModel* model_ = nullptr;
    QTableView* table_ = nullptr;
    QLineEdit* search_ = nullptr;
    QLabel* found_ = nullptr;
    QToolButton* rows_ = nullptr;
};
