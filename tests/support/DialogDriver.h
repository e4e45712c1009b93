#pragma once

// Drives the features' dialogs beside the main window as a person would: their shortcuts,
// their tables' rows chosen, and the dark colour scheme they must stay readable under.

#include <QDialog>
#include <QPalette>
#include <QTableView>
#include <QtTest>

namespace velmorin::testing {

// A dark desktop scheme: dark faces and edit boxes, white texts.
inline QPalette darkScheme()
{
    QPalette dark(QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::Base, QColor(0x23, 0x23, 0x23));
    for (QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
        dark.setColor(role, Qt::white);
    return dark;
}

// A shortcut belongs to the main window, which must be the active one.
inline void pressShortcut(QWidget &window, Qt::Key key)
{
    window.activateWindow();
    QTRY_VERIFY(window.isActiveWindow());
    QTest::keyClick(&window, key);
}

// Chooses the table's row by "double click" or "Enter", from its dialog.
inline void chooseRow(QDialog &dialog, QTableView &table, int row, const QString &how)
{
    const QModelIndex index = table.model()->index(row, 0);
    if (how == QLatin1String("double click")) {
        const QPoint at = table.visualRect(index).center();
        QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(table.viewport(), Qt::LeftButton, {}, at);
    } else {
        dialog.activateWindow();
        QTRY_VERIFY(dialog.isActiveWindow());
        table.setFocus();
        table.setCurrentIndex(index);
        QTest::keyClick(&table, Qt::Key_Return);
    }
}

} // namespace velmorin::testing
