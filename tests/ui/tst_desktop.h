// The program on real desktops: the keyboard alone, dark colour schemes, screen readers,
// Qt's French texts, the screen's available area, hostile text.

#pragma once

#include "Appearance.h"
#include "AutoSizeLabel.h"
#include "Contrast.h"
#include "DarkScheme.h"
#include "Features.h"
#include "MessageBoxCatcher.h"
#include "OverviewChart.h"
#include "Placement.h"
#include "Propos.h"
#include "QtTranslation.h"
#include "TrackBar.h"
#include "UpDown.h"
#include "VlmPrg.h"
#include "WindowDriver.h"
#include "aprop.h"

#include <QAccessible>
#include <QAction>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QTranslator>
#include <QtTest>

#include <chrono>
#include <memory>

using velmorin::TUpDown;
using velmorin::testing::darkScheme;

namespace {

const QString kConversionError = QStringLiteral("'%1' n'est pas une valeur entière correcte.");

// A control's text colour and the colour it stands on: edit boxes and buttons paint their
// own face; labels show the nearest ancestor that fills its background.
inline std::pair<QColor, QColor> coloursOf(const QWidget *widget)
{
    const QPalette &p = widget->palette();
    if (qobject_cast<const QLineEdit *>(widget))
        return {p.color(QPalette::Text), p.color(QPalette::Base)};
    if (qobject_cast<const QPushButton *>(widget))
        return {p.color(QPalette::ButtonText), p.color(QPalette::Button)};
    const QWidget *filled = widget;
    while (!filled->autoFillBackground() && !filled->isWindow())
        filled = filled->parentWidget();
    return {p.color(QPalette::WindowText), filled->palette().color(QPalette::Window)};
}

} // namespace

class TestDesktop : public QObject
{
    Q_OBJECT

private slots:
    void init() { newWindow(); }
    void cleanup();

    void keysStepAsArrowClicks_data();
    void keysStepAsArrowClicks();
    void enterInEffectifClicksCalcul_data();
    void enterInEffectifClicksCalcul();
    void quitRequests_data();
    void quitRequests();
    void typingInEffectif_data();
    void typingInEffectif();

    void textsReadable_data();
    void textsReadable();

    void dialogsReadable_data();
    void dialogsReadable();

    void designedFontsStandIn_data();
    void designedFontsStandIn();
    void labelsFitTheirText_data();
    void labelsFitTheirText();
    void exemptionNumberIsRead();
    void qtTextsInFrench();
    void centredPosition_data();
    void centredPosition();
    void besideGeometry_data();
    void besideGeometry();
    void featureWindowsShrink_data();
    void featureWindowsShrink();

    void longPasteKeptWhole();
    void controlCharactersShown_data();
    void controlCharactersShown();

private:
    template <typename T = QWidget> T *get(const char *name) const
    {
        return velmorin::testing::child<T>(*m_window, name);
    }
    void newWindow();
    QStringList step(const QByteArray &field, bool keys, int key, int presses,
                     const QString &effectif);

    std::unique_ptr<TVlmFPrg> m_window;
};
