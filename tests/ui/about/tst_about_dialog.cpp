#include "Propos.h"
#include "Emblem.h"
#include "MessageBoxCatcher.h"
#include "aprop.h"

#include <QApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QUrlQuery>
#include <QtTest>

#include <chrono>

using namespace std::chrono_literals;

namespace {

const QString contact = QStringLiteral("aide@velmorin.example");

// The line height and the look of one history line, measured with the toolkit alone.
QFont historyFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(10);
    return font;
}

int historyLineHeight()
{
    const QImage device(1, 1, QImage::Format_RGB32);
    return QFontMetrics(historyFont(), &device).height();
}

QImage historyLine(const QString &text, int width, int height)
{
    QImage line(width, height, QImage::Format_RGB32);
    line.fill(Qt::white);
    QPainter painter(&line);
    painter.setFont(historyFont());
    painter.setPen(Qt::blue);
    painter.drawText(QRect(1, 0, width - 1, height),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    return line;
}

bool isWhite(const QImage &image, const QRect &area)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                return false;
    return true;
}

// Plays the history at full speed and keeps what was seen.
struct Playback
{
    QList<int> frames;
    QImage last;
    QSize paintBox;
    bool covered = true;
};

Playback play(TApropos &dialog)
{
    Playback seen;
    auto *panel = dialog.findChild<QWidget *>(QStringLiteral("Panel1"));
    QObject::connect(
        &dialog, &TApropos::frameShown, &dialog, [&](int frame, const QImage &picture) {
            seen.frames.append(frame);
            seen.last = picture;
            seen.covered = seen.covered && panel->isVisible() && panel->geometry() == dialog.rect();
        });
    QSignalSpy finished(&dialog, &TApropos::animationFinished);
    dialog.Button1Click();
    seen.paintBox = dialog.findChild<QWidget *>(QStringLiteral("PaintBox1"))->size();
    if (!finished.wait(10000))
        qWarning("the history did not finish");
    QObject::disconnect(&dialog, &TApropos::frameShown, &dialog, nullptr);
    return seen;
}

} // namespace

class TestApropos : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TApropos> makeDialog(const QStringList &lines = {})
    {
        auto dialog = std::make_unique<TApropos>();
        dialog->setFrameDelay(0ms);
        dialog->setFinalPause(0ms);
        dialog->setHistoLignes(lines);
        dialog->setVersionText(QStringLiteral("Programme vers. 3.06"));
        return dialog;
    }

    static QStringList firstShowLines()
    {
        return QStringList{QStringLiteral("De l'utilitaire organisation Velmorin"), QString(),
                           QString()} +
               velmorinHistory();
    }

private slots:
    void layout_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("pixels");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<QColor>("colour");
        const QColor lime(0, 255, 0);
        QTest::newRow("nom") << "nom" << 27 << true << lime;
        QTest::newRow("Label1") << "Label1" << 27 << true << lime;
        QTest::newRow("Version") << "Version" << 27 << true << lime;
        QTest::newRow("Label3") << "Label3" << 16 << true << QColor(0, 0, 255);
        QTest::newRow("Label2") << "Label2" << 16 << true << lime;
        QTest::newRow("Memo1") << "Memo1" << 12 << false << lime;
    }

    void layout()
    {
        QFETCH(QString, name);
        QFETCH(int, pixels);
        QFETCH(bool, bold);
        QFETCH(QColor, colour);
        auto dialog = makeDialog();
        QCOMPARE(dialog->size(), QSize(321, 184));
        QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
        auto *label = dialog->findChild<QLabel *>(name);
        QVERIFY(label);
        QCOMPARE(label->font().pixelSize(), pixels);
        QCOMPARE(label->font().bold(), bold);
        QCOMPARE(label->palette().color(QPalette::WindowText), colour);
        // Nothing clipped: the whole text is inside the label, the label inside the dialog.
        QVERIFY(label->geometry().width() >= label->sizeHint().width());
        QVERIFY(label->geometry().height() >= label->sizeHint().height());
        QVERIFY(dialog->rect().contains(label->geometry()));
    }

    void emblem()
    {
        auto dialog = makeDialog();
        const QImage emblem = velmorinEmblem();
        QCOMPARE(emblem.size(), QSize(60, 60));
        QVERIFY(emblem.colorCount() <= 16);
        auto *image2 = dialog->findChild<QLabel *>(QStringLiteral("Image2"));
        QVERIFY(image2);
        QCOMPARE(image2->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
                 emblem.convertToFormat(QImage::Format_RGB32));
    }

    void mailLink_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QByteArray>("encoded");
        QTest::newRow("short caption, whole")
            << "De l'utilitaire organisation Velmorin"
            << QByteArray("mailto:aide@velmorin.example"
                          "?subject=De%20l%27utilitaire%20organisation%20Velmorin");
        QTest::newRow("long caption, first 38 characters")
            << "(2006) Calcul des tours en Velmorin - organisateurs"
            << QByteArray("mailto:aide@velmorin.example"
                          "?subject=%282006%29%20Calcul%20des%20tours%20en%20Velmorin%20-%20");
        QTest::newRow("accents and reserved characters")
            << "Coupe d'été & finale ?=#"
            << QByteArray("mailto:aide@velmorin.example?subject=Coupe%20d%27%C3%A9t%C3%A9"
                          "%20%26%20finale%20%3F%3D%23");
        QTest::newRow("empty caption") << "" << QByteArray("mailto:aide@velmorin.example?subject=");
    }

    void mailLink()
    {
        QFETCH(QString, caption);
        QFETCH(QByteArray, encoded);
        auto dialog = makeDialog();
        QList<QUrl> opened;
        dialog->setUrlOpener([&opened](const QUrl &url) {
            opened.append(url);
            return true;
        });
        dialog->setWindowTitle(caption);
        dialog->Label3Click();
        QCOMPARE(opened.size(), 1);
        QCOMPARE(opened.at(0).toEncoded(), encoded);
        QCOMPARE(opened.at(0).path(), contact);
        QCOMPARE(
            QUrlQuery(opened.at(0)).queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
            caption.left(38));
    }

    void shorterSubjectAfterLonger()
    {
        auto dialog = makeDialog();
        QList<QUrl> opened;
        dialog->setUrlOpener([&opened](const QUrl &url) {
            opened.append(url);
            return true;
        });
        dialog->setWindowTitle(
            QStringLiteral("Une légende bien plus longue que trente-huit caractères"));
        dialog->Label3Click();
        dialog->setWindowTitle(QStringLiteral("Court"));
        dialog->Label3Click();
        QCOMPARE(opened.size(), 2);
        QCOMPARE(opened.at(1).toEncoded(),
                 QByteArray("mailto:aide@velmorin.example?subject=Court"));
    }

    void clickOnAddressOpensLink()
    {
        auto dialog = makeDialog();
        int opened = 0;
        dialog->setUrlOpener([&opened](const QUrl &) { return ++opened > 0; });
        dialog->show();
        QTest::mouseClick(dialog->findChild<QLabel *>(QStringLiteral("Label3")), Qt::LeftButton);
        QCOMPARE(opened, 1);
    }

    void warningWhenNoMailHandler_data()
    {
        QTest::addColumn<bool>("handled");
        QTest::newRow("mail handler opened") << true;
        QTest::newRow("no mail handler") << false;
    }

    void warningWhenNoMailHandler()
    {
        QFETCH(bool, handled);
        auto dialog = makeDialog();
        dialog->setUrlOpener([handled](const QUrl &) { return handled; });
        dialog->show();
        MessageBoxCatcher boxes;
        dialog->Label3Click();
        QCOMPARE(boxes.shown().isEmpty(), handled);
        if (handled)
            return;
        QCOMPARE(boxes.shown().size(), 1);
        const ShownMessageBox &box = boxes.shown().first();
        QCOMPARE(box.title, QStringLiteral("Avertissement"));
        QCOMPARE(box.icon, QMessageBox::Warning);
        QCOMPARE(box.text, QStringLiteral("Le courier électronique par défaut\r\r"
                                          "n'est pas installé correctement"));
        QCOMPARE(box.buttons, QStringList{QStringLiteral("&Oui")});
        QVERIFY(dialog->isVisible());
    }

    void handPointerOverAddress()
    {
        auto dialog = makeDialog();
        dialog->show();
        auto *address = dialog->findChild<QLabel *>(QStringLiteral("Label3"));
        const QPointF inside(5, 5);
        QEnterEvent enter(inside, address->mapTo(dialog.get(), inside),
                          address->mapToGlobal(inside));
        QCoreApplication::sendEvent(address, &enter);
        QCOMPARE(dialog->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(!address->testAttribute(Qt::WA_SetCursor)); // it shows the dialog's
        QCOMPARE(address->cursor().shape(), Qt::PointingHandCursor);

        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(address, &leave);
        QCOMPARE(dialog->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(address->cursor().shape(), Qt::ArrowCursor);
    }

    void historyFrames_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<bool>("taller"); // the text is taller than the paint box
        QTest::newRow("first show, 21 lines") << firstShowLines() << true;
        QTest::newRow("two lines") << QStringList{"Version 1.02 : 2002", "Deuxième"} << false;
        QTest::newRow("no line") << QStringList() << false;
    }

    void historyFrames()
    {
        QFETCH(QStringList, lines);
        QFETCH(bool, taller);
        auto dialog = makeDialog(lines);
        dialog->show();
        const Playback seen = play(*dialog);
        const int h = historyLineHeight();
        const int height = seen.paintBox.height();
        const int width = seen.paintBox.width();
        QCOMPARE(h * lines.size() > height, taller);
        const int frames = taller ? h * int(lines.size()) : height;
        QCOMPARE(seen.frames.size(), frames);
        QCOMPARE(seen.frames.constFirst(), 1);
        QCOMPARE(seen.frames.constLast(), frames);
        QVERIFY(seen.covered);
        QCOMPARE(seen.last.size(), seen.paintBox);
        QVERIFY(seen.paintBox.height() > 100); // the panel filled the dialog

        if (lines.isEmpty()) {
            QVERIFY(isWhite(seen.last, seen.last.rect()));
        } else if (taller) {
            // The two blank lines rest on the bottom edge, the last text just above them.
            const QRect blank(0, height - 2 * h, width, 2 * h);
            QVERIFY(isWhite(seen.last, blank));
            const QImage text = seen.last.copy(0, height - 3 * h, width, h);
            QCOMPARE(text, historyLine(QStringLiteral("Amélioration de l'algorithme"), width, h));
        } else {
            // The first line reached the top edge.
            QCOMPARE(seen.last.copy(0, 0, width, h), historyLine(lines.at(0), width, h));
            QVERIFY(isWhite(seen.last, QRect(0, 2 * h, width, height - 2 * h)));
        }
        QVERIFY(!dialog->findChild<QWidget *>(QStringLiteral("Panel1"))->isVisible());
        QVERIFY(!dialog->isAnimating());
    }

    void historyReplaysFromTheBottom()
    {
        auto dialog = makeDialog(firstShowLines());
        dialog->show();
        const Playback first = play(*dialog);
        const Playback second = play(*dialog);
        QCOMPARE(second.frames, first.frames);
        QCOMPARE(second.last, first.last);
    }

    void secondRequestDuringHistoryIgnored()
    {
        auto dialog = makeDialog(firstShowLines());
        dialog->show();
        QTimer::singleShot(0, dialog.get(), &TApropos::Button1Click);
        const Playback seen = play(*dialog);
        QCOMPARE(seen.frames.size(), historyLineHeight() * 21);
    }

    void closeWaitsForHistoryEnd()
    {
        auto dialog = makeDialog(firstShowLines());
        dialog->setFinalPause(20ms);
        dialog->show();
        QSignalSpy finished(dialog.get(), &TApropos::animationFinished);
        QSignalSpy rejected(dialog.get(), &QDialog::rejected);
        dialog->Button1Click();
        QVERIFY(!dialog->close()); // the frame's close box
        dialog->reject();          // Escape
        QVERIFY(dialog->isVisible());
        QCOMPARE(rejected.size(), 0);
        QVERIFY(finished.wait(10000));
        QVERIFY(!dialog->isVisible());
        QCOMPARE(rejected.size(), 1);
        QCOMPARE(dialog->result(), int(QDialog::Rejected));
    }
};

QTEST_MAIN(TestApropos)
#include "tst_about_dialog.moc"
