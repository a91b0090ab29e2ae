// The entry point of the Qt tests: `qt_tests NAME [Qt Test options]` runs the test of NAME's file,
// with the application set up as QTEST_MAIN sets it up.
#include <QApplication>
#include <QtTest>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/shell/support/qt_test_registry.h"

namespace {

std::map<std::string, QtTestMaker>& registry() {
    static std::map<std::string, QtTestMaker> tests;
    return tests;
}

int listTests(const char* program) {
    std::fprintf(stderr, "usage: %s TEST [Qt Test options]; the tests:\n", program);
    for (const auto& entry : registry()) {
        std::fprintf(stderr, "  %s\n", entry.first.c_str());
    }
    return 2;
}

}  // namespace

bool registerQtTest(const char* sourceFile, QtTestMaker make) {
    return registry().emplace(std::filesystem::path(sourceFile).stem(), std::move(make)).second;
}

int main(int argc, char** argv) {
    const auto test = argc > 1 ? registry().find(argv[1]) : registry().end();
    if (test == registry().end()) {
        return listTests(argv[0]);
    }
    // Qt and Qt Test see the command line without the test's name.
    std::vector<char*> arguments{argv[0]};
    arguments.insert(arguments.end(), argv + 2, argv + argc + 1);  // with the closing null
    int count = argc - 1;
    QApplication application(count, arguments.data());
    application.setAttribute(Qt::AA_Use96Dpi, true);
    const std::unique_ptr<QObject> object = test->second();
    return QTest::qExec(object.get(), count, arguments.data());
}
