#pragma once

#include <QDialog>
#include <QImage>
#include <QStringList>
#include <QUrl>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class QFrame;
class QLabel;
class QPushButton;
class HistoryScroll;
class TPaintBox;

// The about dialog: author, version, a mail link and the animated version history.
// Whoever shows it sets its caption, its version text and the history lines.
class TApropos : public QDialog
{
    Q_OBJECT

public:
    using UrlOpener = std::function<bool(const QUrl &)>;

    explicit TApropos(QWidget *parent = nullptr);
    ~TApropos() override;

    static QString contactAddress();
    // "mailto:" + address + "?subject=" + the first 38 characters of the caption,
    // percent-encoded so that mail handlers receive one well-formed address.
    static QUrl mailtoUrl(const QString &caption);

    QString versionText() const;
    void setVersionText(const QString &text);

    const QStringList &histoLignes() const { return m_histoLignes; }
    void setHistoLignes(const QStringList &lines) { m_histoLignes = lines; }

    // Defaults to the desktop's handler; tests and other platforms may replace it.
    void setUrlOpener(UrlOpener opener) { m_urlOpener = std::move(opener); }
    void setFrameDelay(std::chrono::milliseconds delay) { m_frameDelay = delay; }
    void setFinalPause(std::chrono::milliseconds pause) { m_finalPause = pause; }

    bool isAnimating() const { return m_scroll != nullptr; }

    // A close request during the history waits for its end.
    void done(int result) override;

public slots:
    void Button1Click();
    void Label3Click();
    void Label3MouseEnter();
    void Label3MouseLeave();

signals:
    // Each history frame as it reaches the screen, numbered from 1.
    void frameShown(int frame, const QImage &picture);
    void animationFinished();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildControls();
    void showFrame(int frame);
    void afterFrame(int frame);
    void finishAnimation();
    void paintFocusedLink(QEvent *paint);

    QLabel *m_version = nullptr;
    QLabel *m_label3 = nullptr;
    QPushButton *m_button1 = nullptr;
    QFrame *m_panel1 = nullptr;
    TPaintBox *m_paintBox1 = nullptr;

    QStringList m_histoLignes;
    UrlOpener m_urlOpener;
    std::chrono::milliseconds m_frameDelay{55};
    std::chrono::milliseconds m_finalPause{2000};
    std::unique_ptr<HistoryScroll> m_scroll;
    std::optional<int> m_pendingResult;
    bool m_quitRequested = false;
    bool m_centred = false;
};
