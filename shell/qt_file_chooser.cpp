#include "shell/qt_file_chooser.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

QString qtNameFilter(const FileTypeFilter& filter) {
    QString label = QString::fromStdString(filter.description).trimmed();
    const qsizetype open = label.lastIndexOf(QLatin1Char('('));
    if (open >= 0 && label.endsWith(QLatin1Char(')'))) {
        label = label.left(open).trimmed();
    }
    static const QRegularExpression kSeparators(QStringLiteral("[;\\s]+"));
    QStringList patterns =
        QString::fromStdString(filter.pattern).split(kSeparators, Qt::SkipEmptyParts);
    for (QString& pattern : patterns) {
        if (pattern == QLatin1String("*.*")) {
            pattern = QStringLiteral("*");
        }
    }
    if (patterns.isEmpty()) {
        patterns.append(QStringLiteral("*"));
    }
    return QStringLiteral("%1 (%2)").arg(label, patterns.join(QLatin1Char(' ')));
}

namespace {

QString defaultSuffix(const FileChooserRequest& request, int filter) {
    const bool own = filter >= 0 && filter < static_cast<int>(request.filters.size()) &&
                     !request.filters[static_cast<size_t>(filter)].extension.empty();
    return QString::fromStdString(own ? request.filters[static_cast<size_t>(filter)].extension
                                      : request.defaultExtension);
}

}  // namespace

bool runFileChooser(QWidget& owner, const FileChooserRequest& request, std::string& path,
                    std::string& title) {
    QFileDialog chooser(&owner);
    chooser.setOption(QFileDialog::DontUseNativeDialog);
    chooser.setAcceptMode(request.forOpen ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    chooser.setFileMode(request.forOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!request.caption.empty()) {
        chooser.setWindowTitle(QString::fromStdString(request.caption));
    }
    QStringList filters;
    for (const FileTypeFilter& filter : request.filters) {
        filters.append(qtNameFilter(filter));
    }
    chooser.setNameFilters(filters);
    chooser.setDefaultSuffix(defaultSuffix(request, 0));
    // A name typed without an extension gets the one of the type chosen.
    QObject::connect(&chooser, &QFileDialog::filterSelected, &chooser, [&](const QString& filter) {
        chooser.setDefaultSuffix(defaultSuffix(request, filters.indexOf(filter)));
    });
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) {
        return false;
    }
    if (request.chosenFilter != nullptr) {
        *request.chosenFilter = static_cast<int>(filters.indexOf(chooser.selectedNameFilter()));
    }
    const QString chosen = chooser.selectedFiles().constFirst();
    path = QFile::encodeName(chosen).toStdString();
    title = QFile::encodeName(QFileInfo(chosen).fileName()).toStdString();
    return true;
}
