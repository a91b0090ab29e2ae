#pragma once

#include <QObject>

#include <functional>
#include <memory>

// All Qt tests are one program, which runs the test named by its first argument: the stem of the
// test's file, as CTest names it. Each test file registers its test object with PINPROBE_QT_TEST.
using QtTestMaker = std::function<std::unique_ptr<QObject>()>;

// Registers the test of `sourceFile` (its __FILE__); returns true, for a static initialiser.
bool registerQtTest(const char* sourceFile, QtTestMaker make);

#define PINPROBE_QT_TEST(TestClass)                              \
    static const bool pinprobeQtTestRegistered = registerQtTest( \
        __FILE__, [] { return std::unique_ptr<QObject>(std::make_unique<TestClass>()); });
