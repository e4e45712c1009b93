// Renders the main window with a cup open (the sample list of 80 teams, "Coupe du Rhône 2027"),
// under a title strip that says what the title bar says, into a PNG file, for the
// documentation. The window's own picture holds no title bar, which is where the cup shows.

#include "CupContents.h"
#include "CupSession.h"
#include "CupStore.h"
#include "RenderWindow.h"
#include "TeamFile.h"

#include <QLabel>
#include <QPainter>
#include <QTemporaryDir>

int main(int argc, char *argv[])
{
    QTemporaryDir dir;
    return renderFromMainWindow(argc, argv, "cup.png", [&dir](TVlmFPrg &window) -> QWidget * {
        const velmorin::TeamListResult read = velmorin::readTeamList(VELMORIN_SAMPLE_LIST);
        if (!read.ok())
            return nullptr;
        velmorin::CupSetup setup;
        setup.name = "Coupe du Rhône 2027";
        setup.date = "2027-05-01";
        setup.registered = std::int32_t(read.list->teams.size());
        setup.finale = 6;
        setup.entrants1 = 48;
        setup.classNumber = 3;
        setup.position = 3;
        setup.list = velmorin::importedListOf(*read.list, "exemple-equipes.csv");
        setup.levelRounds = velmorin::levelRoundsOf(velmorin::LevelMapping::defaults(*read.list));
        setup.seed = 2026;
        const QString path = dir.filePath(QStringLiteral("coupe-du-rhone-2027.velmorin"));
        // Made, then let go (the store holds the cup while it lives), then opened.
        if (!velmorin::CupStore::create(path, setup).ok())
            return nullptr;
        if (!velmorin::CupSession::of(window).open(path))
            return nullptr;
        // The title bar as a strip over the window's picture.
        const QPixmap body = window.grab();
        const int strip = 24;
        auto *shown = new QLabel(&window, Qt::Window); // the window owns it
        QPixmap picture(body.width(), body.height() + strip);
        picture.fill(QColor(0x33, 0x4d, 0x80));
        QPainter painter(&picture);
        painter.setPen(Qt::white);
        QFont font = window.font();
        font.setBold(true);
        font.setPixelSize(12);
        painter.setFont(font);
        painter.drawText(QRect(8, 0, body.width() - 16, strip), Qt::AlignVCenter | Qt::AlignLeft,
                         window.windowTitle());
        painter.drawPixmap(0, strip, body);
        painter.end();
        shown->setPixmap(picture);
        shown->setFixedSize(picture.size());
        shown->show();
        return shown;
    });
}
