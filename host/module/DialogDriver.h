// Plays the user in front of the module's dialog: picks the generator, sets
// the --set parameters, and once the preview has first shown an outline on
// the screen takes the screen's picture and confirms or closes. A page that
// builds nothing has nothing to wait for: that is decided at once.
#pragma once

#include <QObject>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

class HostEngine;
class QDialog;
class QWidget;

// What the screen shows of a window, as the window system has it: not the
// widgets drawn a second time.
bool SaveScreenPicture(QWidget& window, const QString& path);

struct DialogPlan
{
    int nGenerator = -1; // -1: the page the dialog opens on
    QList<QPair<QString, QString>> sets;
    QString strScreenshot; // the dialog once its preview is on the screen
    bool bAccept = false;  // OK once the preview is drawn; else Cancel
    bool bLeaveOpen = false; // the user goes on from the values typed
};

class DialogDriver : public QObject
{
    Q_OBJECT

public:
    enum Outcome { Waiting, Confirmed, Empty, Refused, Closed, TimedOut };

    explicit DialogDriver(HostEngine& engine, QObject* pParent = nullptr);

    // Drives the next generator dialog that opens, and only that one.
    void Arm(const DialogPlan& plan);
    Outcome LastOutcome() const { return m_outcome; }
    // What went wrong, one line; empty when nothing did.
    QString LastError() const { return m_strError; }
    bool ScreenshotFailed() const { return m_bScreenshotFailed; }

    // The generator the plan opens (the page the dialog opens on is the first).
    static int GeneratorOf(const DialogPlan& plan) { return plan.nGenerator < 0 ? 0 : plan.nGenerator; }

signals:
    // A plan that leaves the dialog open has typed its values into it.
    void Typed(QDialog* pDialog);

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    void Drive(QDialog* pDialog);
    void Finish(Outcome outcome);

    HostEngine& m_engine;
    DialogPlan m_plan;
    bool m_bArmed = false;
    QPointer<QDialog> m_pDialog;
    QPointer<QWidget> m_pPreview; // the preview's viewport until it has shown an outline
    Outcome m_outcome = Waiting;
    QString m_strError;
    bool m_bScreenshotFailed = false;
    QTimer m_lastResort;
};
