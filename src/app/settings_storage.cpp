#include "app/settings_storage.h"

#include <QSettings>

namespace {

const QString kGroup = QStringLiteral("Settings");

std::optional<std::string> stringValue(const QSettings& settings, const QString& key)
{
    if (!settings.contains(key)) return std::nullopt;
    return settings.value(key).toString().toStdString();
}

} // namespace

nettor::StoredValues readStoredValues()
{
    QSettings settings;
    settings.beginGroup(kGroup);
    nettor::StoredValues values;
    values.modelWindowSize = stringValue(settings, QStringLiteral("ModelWindowSize"));
    values.windowPos = stringValue(settings, QStringLiteral("WindowPos"));
    values.config = stringValue(settings, QStringLiteral("Config"));
    values.partSearch = stringValue(settings, QStringLiteral("PartSearch"));
    return values;
}

void writeStoredValues(const nettor::StoredValues& values)
{
    QSettings settings;
    settings.beginGroup(kGroup);
    const auto put = [&](const QString& key, const std::optional<std::string>& value) {
        if (value) settings.setValue(key, QString::fromStdString(*value));
    };
    put(QStringLiteral("WindowPos"), values.windowPos);
    put(QStringLiteral("ModelWindowSize"), values.modelWindowSize);
    put(QStringLiteral("Config"), values.config);
    put(QStringLiteral("PartSearch"), values.partSearch);
}

BarState readBarState()
{
    QSettings settings;
    settings.beginGroup(QStringLiteral("ControlBars"));
    BarState state;
    state.present = settings.contains(QStringLiteral("State"));
    state.mainWindowState = settings.value(QStringLiteral("State")).toByteArray();
    state.statusBarVisible = settings.value(QStringLiteral("StatusBar"), true).toBool();
    return state;
}

void writeBarState(const BarState& state)
{
    QSettings settings;
    settings.beginGroup(QStringLiteral("ControlBars"));
    settings.setValue(QStringLiteral("State"), state.mainWindowState);
    settings.setValue(QStringLiteral("StatusBar"), state.statusBarVisible);
}

StoredPages readStoredPages()
{
    QSettings settings;
    settings.beginGroup(QStringLiteral("Pages Layout"));
    StoredPages stored;
    stored.printTextures = settings.value(QStringLiteral("PrintTextures"), true).toBool();
    nettor::PagesSettings read;
    const QString paper = settings.value(QStringLiteral("Paper")).toString();
    if (!paper.isEmpty() && !nettor::parsePaperName(paper.toStdString(), read)) return stored;
    read.landscape = settings.value(QStringLiteral("Landscape"), read.landscape).toBool();
    read.marginMm = settings.value(QStringLiteral("MarginMm"), read.marginMm).toDouble();
    read.finishedSizeMm = settings.value(QStringLiteral("FinishedSizeMm"), read.finishedSizeMm).toDouble();
    if (!nettor::pagesSettingsProblem(read)) stored.settings = read;
    if (settings.value(QStringLiteral("Layout")).toString() == QStringLiteral("Pages"))
        stored.mode = nettor::LayoutMode::Pages;
    return stored;
}

void writeStoredPages(const StoredPages& pages)
{
    QSettings settings;
    settings.beginGroup(QStringLiteral("Pages Layout"));
    settings.setValue(QStringLiteral("Layout"), pages.mode == nettor::LayoutMode::Pages ? QStringLiteral("Pages")
                                                                                       : QStringLiteral("OneSheet"));
    settings.setValue(QStringLiteral("Paper"), QString::fromStdString(nettor::paperName(pages.settings)));
    settings.setValue(QStringLiteral("Landscape"), pages.settings.landscape);
    settings.setValue(QStringLiteral("MarginMm"), pages.settings.marginMm);
    settings.setValue(QStringLiteral("FinishedSizeMm"), pages.settings.finishedSizeMm);
    settings.setValue(QStringLiteral("PrintTextures"), pages.printTextures);
}
