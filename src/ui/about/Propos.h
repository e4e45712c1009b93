#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class TApropos;

// A non-visual component that a window holds to show its about box: the caption, the
// version and the history lines are set on it, then ShowAbout shows the dialog modally.
class TPropos : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString PVersion READ PVersion WRITE setPVersion)
    Q_PROPERTY(QString PCaption READ PCaption WRITE setPCaption)
    Q_PROPERTY(QStringList Lignes READ Lignes WRITE setLignes)

public:
    using DialogHook = std::function<void(TApropos &)>;

    explicit TPropos(QObject *owner = nullptr);
    ~TPropos() override;

    const QString &PVersion() const { return m_version; }
    void setPVersion(const QString &version) { m_version = version; }
    const QString &PCaption() const { return m_caption; }
    void setPCaption(const QString &caption) { m_caption = caption; }
    const QStringList &Lignes() const { return m_lignes; }
    QStringList &Lignes() { return m_lignes; }
    void setLignes(const QStringList &lines) { m_lignes = lines; }

    // Runs with the filled dialog just before it is shown (tests close it from here).
    void setDialogHook(DialogHook hook) { m_dialogHook = std::move(hook); }

    // Shows the dialog modally and returns once it is closed; the dialog never outlives the
    // call. The first history line becomes the caption. Throws std::out_of_range when
    // Lignes is empty.
    bool ShowAbout();

private:
    QString m_version;
    QString m_caption;
    QStringList m_lignes;
    DialogHook m_dialogHook;
};

// The program's own about box, with the values the main window is built with.
TPropos *createPropos1(QObject *owner);

// The program's version history, oldest first.
QStringList velmorinHistory();

// What the main window's about button writes before each show: its caption, its version
// and the history once, after the caption line and two blank lines.
void prepareVelmorinAbout(TPropos &propos);
