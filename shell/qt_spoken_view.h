#pragma once

#include <QAccessible>
#include <QString>

// A widget of our own that tells screen readers what it shows: its role, and a name (and a
// description) read afresh from the session whenever they ask. Only widgets derive from it.
class SpokenView {
public:
    virtual ~SpokenView() = default;

    virtual QAccessible::Role spokenRole() const = 0;
    virtual QString spokenName() const = 0;
    // Empty: the widget's tooltip, as for Qt's own widgets.
    virtual QString spokenDescription() const { return {}; }

    // Tells screen readers that the name or the description changed since they were last told;
    // called whenever the view may show something new.
    void announceChange();

private:
    QString toldName_;
    QString toldDescription_;
};

// Lets Qt's accessibility find the widgets that derive from SpokenView. Once is enough; later
// calls change nothing.
void installSpokenViews();
