#pragma once
// The main function of a window test that needs the OpenGL 3D view: the
// compatibility context asked for before the application exists, and the
// settings the window writes kept in a folder of the test's own.
#include "app/gl_surface_format.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

template <class Test>
int runGlTest(int argc, char** argv, const char* applicationName)
{
    requestCompatibilityContext();
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("KR_Nettor"));
    QApplication::setApplicationName(QString::fromLatin1(applicationName));
    QTemporaryDir config;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
    Test test;
    return QTest::qExec(&test, argc, argv);
}
