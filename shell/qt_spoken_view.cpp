#include "shell/qt_spoken_view.h"

#include <QAccessibleWidget>
#include <QWidget>

namespace {

class SpokenViewAccessible : public QAccessibleWidget {
public:
    SpokenViewAccessible(QWidget* widget, const SpokenView& view)
        : QAccessibleWidget(widget, view.spokenRole()), view_(view) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name) {
            return view_.spokenName();
        }
        if (kind == QAccessible::Description && !view_.spokenDescription().isEmpty()) {
            return view_.spokenDescription();
        }
        return QAccessibleWidget::text(kind);
    }

private:
    const SpokenView& view_;
};

QAccessibleInterface* spokenViewFactory(const QString&, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    const auto* view = dynamic_cast<const SpokenView*>(object);
    return widget != nullptr && view != nullptr ? new SpokenViewAccessible(widget, *view) : nullptr;
}

void tell(QObject* object, QAccessible::Event change, const QString& now, QString& told) {
    if (now != told) {
        told = now;
        QAccessibleEvent event(object, change);
        QAccessible::updateAccessibility(&event);
    }
}

}  // namespace

void SpokenView::announceChange() {
    // Qt passes nothing on unless a screen reader listens: then the texts need not be made.
    if (!QAccessible::isActive()) {
        return;
    }
    auto* object = dynamic_cast<QObject*>(this);
    tell(object, QAccessible::NameChanged, spokenName(), toldName_);
    tell(object, QAccessible::DescriptionChanged, spokenDescription(), toldDescription_);
}

void installSpokenViews() {
    static bool installed = false;
    if (!installed) {
        QAccessible::installFactory(spokenViewFactory);
        installed = true;
    }
}
