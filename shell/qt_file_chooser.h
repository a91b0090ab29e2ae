#pragma once

#include <QString>
#include <string>

#include "core/window_system.h"

class QWidget;

// One entry of a chooser's type list in Qt's form, "Label (pattern pattern)": the description
// without its own parenthesised tail, then the request's patterns, with "*.*" as "*" (every file,
// as the pattern means elsewhere, also files without a dot).
QString qtNameFilter(const FileTypeFilter& filter);

// The modal open or save chooser over `owner`. Open takes only an existing file; Save asks before
// it names an existing one. On confirmation fills `path` and `title` (file name without directory)
// and, where asked, the filter chosen, and returns true; otherwise leaves them as they were.
bool runFileChooser(QWidget& owner, const FileChooserRequest& request, std::string& path,
                    std::string& title);
