#include "Propos.h"

#include "Version.h"
#include "aprop.h"

#include <QGuiApplication>
#include <QWidget>

#include <memory>
#include <stdexcept>

namespace {

const QString velmorinCaption = QStringLiteral("De l'utilitaire organisation Velmorin");

} // namespace

TPropos::TPropos(QObject *owner) : QObject(owner), m_lignes(3, QString()) {}

TPropos::~TPropos() = default;

bool TPropos::ShowAbout()
{
    auto dialog = std::make_unique<TApropos>(qobject_cast<QWidget *>(parent()));
    dialog->setWindowTitle(m_caption.isEmpty() ? QGuiApplication::applicationDisplayName()
                                               : m_caption);
    dialog->setVersionText(QStringLiteral("Programme vers. ") + m_version);
    if (m_lignes.isEmpty())
        throw std::out_of_range("Indice de liste hors limites (0)");
    m_lignes[0] = m_caption;
    dialog->setHistoLignes(m_lignes);
    if (m_dialogHook)
        m_dialogHook(*dialog);
    dialog->exec();
    return true;
}

TPropos *createPropos1(QObject *owner)
{
    auto *propos = new TPropos(owner);
    propos->setObjectName(QStringLiteral("Propos1"));
    propos->setPVersion(QStringLiteral("1.02"));
    propos->setPCaption(velmorinCaption);
    propos->setLignes(QStringList(3, QString()));
    return propos;
}

QStringList velmorinHistory()
{
    return {
        QStringLiteral("Version 1.02 : 2002"),
        QStringLiteral("Permet de trouver les solutions possibles pour les "),
        QStringLiteral("     tours sous réserve d'une pré-inscription"),
        QString(),
        QStringLiteral("Version 2.03 : 2003"),
        QStringLiteral("Modification du nombre maximal de la phase finale"),
        QStringLiteral("     pouvant aller jusqu'à 16 quadrettes ce qui "),
        QStringLiteral("     permet d'avoir 8 qualifiés en Zone"),
        QStringLiteral("Calcul des tours avec 1 ou 2 exemptées et modifi-"),
        QStringLiteral("     cation de l'algorithme "),
        QString(),
        QStringLiteral("Version 2.04 : 2004"),
        QStringLiteral("Correction d'un Bugg avec le tour 8 à repêchage"),
        QString(),
        QStringLiteral("Version 3.06 : 2006"),
        QStringLiteral("Amélioration de l'algorithme"),
        QString(),
        QString(),
    };
}

void prepareVelmorinAbout(TPropos &propos)
{
    propos.setPCaption(velmorinCaption);
    propos.setPVersion(QStringLiteral(VELMORIN_VERSION));
    // The history is shown once per press, not once more at every press.
    propos.setLignes(QStringList{velmorinCaption, QString(), QString()} + velmorinHistory());
}
