// Where Help > Help looks for the manual: beside the program, as a build
// leaves it, or else in share/doc/nettor of the prefix the program is
// installed in (bin/ and share/ side by side).
#include "app/main_window.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

namespace {

bool writeManual(const QString& path)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    return file.write("<html></html>") > 0;
}

} // namespace

class TestHelpLocation : public QObject {
    Q_OBJECT

    QString beside_;
    QString installed_;
    QString besideAway_;

private slots:
    void initTestCase()
    {
        const QDir programDir(QCoreApplication::applicationDirPath());
        beside_ = programDir.filePath(QStringLiteral("help/index.html"));
        installed_ = QDir::cleanPath(programDir.filePath(QStringLiteral("../share/doc/nettor/index.html")));
        // A manual another test left beside this program is put aside meanwhile.
        besideAway_ = beside_ + QStringLiteral(".away");
        QFile::remove(besideAway_);
        if (QFileInfo::exists(beside_)) QVERIFY(QFile::rename(beside_, besideAway_));
        QVERIFY(!QFileInfo::exists(installed_));
    }

    void cleanupTestCase()
    {
        QFile::remove(installed_);
        QDir().rmpath(QFileInfo(installed_).absolutePath());
        QFile::remove(beside_);
        if (QFileInfo::exists(besideAway_)) QFile::rename(besideAway_, beside_);
    }

    void theInstalledManualIsFound()
    {
        QVERIFY(writeManual(installed_));
        QCOMPARE(MainWindow::helpFilePath(), installed_);
    }

    void theManualBesideTheProgramComesFirst()
    {
        QVERIFY(writeManual(installed_));
        QVERIFY(writeManual(beside_));
        QCOMPARE(MainWindow::helpFilePath(), beside_);
        QVERIFY(QFile::remove(beside_));
        QCOMPARE(MainWindow::helpFilePath(), installed_);
    }

    void withoutAManualThePathBesideTheProgramIsGiven()
    {
        QFile::remove(installed_);
        QFile::remove(beside_);
        // Help then tells the user it cannot open that file.
        QCOMPARE(MainWindow::helpFilePath(), beside_);
    }
};

QTEST_MAIN(TestHelpLocation)

#include "test_help_location.moc"
