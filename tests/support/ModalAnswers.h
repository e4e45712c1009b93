#pragma once

// Answers the modal dialogs a test's gesture opens, as a person would: the next one of a type,
// and Qt's own file dialog with a typed file name.

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace velmorin::testing {

// Answers the next modal widget of type T once it shows; gives up after a few seconds so that a
// dialog that never comes fails the test instead of hanging it.
template <typename T> inline void whenModal(std::function<void(T *)> answer)
{
    auto *timer = new QTimer(qApp);
    auto *tries = new int(0);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, tries, answer] {
        T *widget = qobject_cast<T *>(QApplication::activeModalWidget());
        if (!widget && ++*tries < 500)
            return;
        timer->stop();
        timer->deleteLater();
        delete tries;
        if (widget)
            answer(widget);
    });
    timer->start(10);
}

// Chooses `fileName`; `proposed` receives the name the dialog offered first.
inline void answerFileDialog(const QString &fileName, const QString &nameFilter = QString(),
                             QString *proposed = nullptr)
{
    whenModal<QFileDialog>([fileName, nameFilter, proposed](QFileDialog *dialog) {
        QVERIFY(dialog->testOption(QFileDialog::DontUseNativeDialog));
        if (proposed)
            *proposed = dialog->selectedFiles().value(0);
        // The type chosen in its list, as a click does (which the dialog hears, unlike
        // selectNameFilter()).
        if (!nameFilter.isEmpty()) {
            auto *types = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
            QVERIFY(types);
            const int index = types->findText(nameFilter);
            QVERIFY2(index >= 0, qPrintable(nameFilter));
            types->setCurrentIndex(index);
            emit types->activated(index);
            emit types->textActivated(types->itemText(index));
        }
        // Typed, as a person would: selectFile() leaves a focused name field as it is.
        auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        QVERIFY(name);
        name->setText(fileName);
        static_cast<QDialog *>(dialog)->accept(); // as the Save button does
    });
}

} // namespace velmorin::testing
