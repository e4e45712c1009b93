// Writes a team list as an ODS spreadsheet with the program's own writer: the README's
// sample list docs/exemple-equipes.csv becomes docs/exemple-equipes.ods.
// Usage: velmorin-sample-ods LIST.csv OUT.ods

#include "EntriesOds.h"
#include "TeamFile.h"

#include <QSaveFile>

#include <iostream>

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::cerr << "usage : velmorin-sample-ods LISTE.csv SORTIE.ods\n";
        return 2;
    }
    const velmorin::TeamListResult read = velmorin::readTeamList(argv[1]);
    if (!read.ok()) {
        std::cerr << read.error << '\n';
        return 1;
    }
    const QByteArray document = QByteArray::fromStdString(velmorin::teamListOds(*read.list));
    QSaveFile file(QString::fromLocal8Bit(argv[2]));
    if (document.isEmpty() || !file.open(QIODevice::WriteOnly) ||
        file.write(document) != document.size() || !file.commit()) {
        std::cerr << "écriture impossible : " << argv[2] << '\n';
        return 1;
    }
    return 0;
}
