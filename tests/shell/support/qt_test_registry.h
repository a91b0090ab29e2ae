#pragma once

#include <QObject>

#include <functional>
#include <memory>

// All Qt tests are one program, which runs the test named by its first argument: the stem of the
// test's file, as CTest names it. Each test file registers its test object with PINPROBE_QT_TEST.
using QtTestMaker = std::function<std::unique_ptr<QObject>()>;

// Registers the test of `sourceFile` (its __FILE__); returns true, for a static initialiser.
bool registerQtTest(const char* sourceFile, QtTestMaker make);

// The flag's name is made unique, as test files may be compiled together in one batch.
#define PINPROBE_QT_TEST(TestClass) PINPROBE_QT_TEST_AS(TestClass, __COUNTER__)
#define PINPROBE_QT_TEST_AS(TestClass, id) PINPROBE_QT_TEST_FLAG(TestClass, id)
#define PINPROBE_QT_TEST_FLAG(TestClass, id)                         \
    static const bool pinprobeQtTestRegistered##id = registerQtTest( \
        __FILE__, [] { return std::unique_ptr<QObject>(std::make_unique<TestClass>()); });
