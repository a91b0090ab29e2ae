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

bool runFileChooser(QWidget& owner, const FileChooserRequest& request, std::string& path,
                    std::string& title) {
    QFileDialog chooser(&owner);
    chooser.setOption(QFileDialog::DontUseNativeDialog);
    chooser.setAcceptMode(request.forOpen ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    chooser.setFileMode(request.forOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    QStringList filters;
    for (const FileTypeFilter& filter : request.filters) {
        filters.append(qtNameFilter(filter));
    }
    chooser.setNameFilters(filters);
    chooser.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) {
        return false;
    }
    const QString chosen = chooser.selectedFiles().constFirst();
    path = QFile::encodeName(chosen).toStdString();
    title = QFile::encodeName(QFileInfo(chosen).fileName()).toStdString();
    return true;
}
