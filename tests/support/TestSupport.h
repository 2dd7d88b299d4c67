// What the suites share: a config folder and host log per test, an engine
// that remembers what it was handed, records by field, a dialog driven as a user.
#pragma once

#include "IGeometryEngine.h"

#include <QJsonObject>
#include <QPainterPath>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantMap>
#include <memory>

class DlgKerfmate;
class QAbstractButton;
class QWidget;

// XDG_CONFIG_HOME and KERFMATE_LOG_FILE point into a fresh folder while it lives.
class TempConfig
{
public:
    TempConfig();
    ~TempConfig();

    QString path() const { return m_dir.path(); }
    QString dataDir() const; // the module's Data folder, created on first use
    QString kerfmateIni() const { return dataDir() + QStringLiteral("/Kerfmate.ini"); }
    // The host's ruler unit in cfg.ini, written as the host writes it.
    void setRulerUnit(const QVariant& unit) const;
    void setIni(const QString& group, const QVariantMap& values) const;
    QVariant ini(const QString& group, const QString& key) const;
    // Lays the wordings over the translator's, as a catalogue file does.
    bool loadWordings(const QJsonObject& wordings) const;
    // The sentences the host log holds at this level.
    QStringList log(int level = 0) const;
    void clearLog() const;

private:
    QTemporaryDir m_dir;
};

// Remembers every build and the last record of each; draws a rectangle sized
// from the record (and one in a box's second list), or what it is told to.
class RecordingEngine : public IGeometryEngine
{
public:
    bool CreateSeal(SSealBoxParam param, CShapeList* pMain) override;
    bool CreateRectBox(SRectBoxParam param, CShapeList* pMain, CShapeList* pAux, SFaceLabels* pLabels) override;
    bool CreateGear(SGearBoxParam param, CShapeList* pMain) override;
    bool CreateFilletBox(SFilletBoxParam param, CShapeList* pMain, CShapeList* pAux) override;

    QStringList builds; // "rect", "fillet", "gear", "seal", in call order
    SRectBoxParam rect;
    SFaceLabels labels;
    SFilletBoxParam fillet;
    SGearBoxParam gear;
    SSealBoxParam seal;
    // What every build draws in place of its rectangles, when bScripted.
    bool bScripted = false;
    QPainterPath main, aux;
};

// A record as named fields ("dWidth", "sCorner.nYCount", "sText1.Text"...):
// texts as their bytes up to the terminator, padding left out.
QVariantMap Fields(const SRectBoxParam& r);
QVariantMap Fields(const SFilletBoxParam& r);
QVariantMap Fields(const SGearBoxParam& r);
QVariantMap Fields(const SSealBoxParam& r);
QVariantMap Fields(const SFaceLabels& r);
// "field: actual != expected" for every listed field that differs; empty when all agree.
QString Differences(const QVariantMap& actual, const QVariantMap& expected);

// Records compare by their fields, and a failing QCOMPARE prints them by name.
#define KERFMATE_RECORD_COMPARISON(Record)                                                                  \
    inline bool operator==(const Record& a, const Record& b) { return Fields(a) == Fields(b); }           \
    namespace QTest {                                                                                      \
    inline char* toString(const Record& record) { return RecordToString(Fields(record)); }               \
    }
char* RecordToString(const QVariantMap& fields);
KERFMATE_RECORD_COMPARISON(SRectBoxParam)
KERFMATE_RECORD_COMPARISON(SFilletBoxParam)
KERFMATE_RECORD_COMPARISON(SGearBoxParam)
KERFMATE_RECORD_COMPARISON(SSealBoxParam)
KERFMATE_RECORD_COMPARISON(SFaceLabels)

// Every point of every shape finite, and nearer than any part the engine accepts.
bool Sound(CShapeList* pList);

// How far p lies from the nearest edge of contour.
double DistanceTo(const QPointF& p, const QPolygonF& contour);

// The engine a host built from its own headers holds: a pointer whose
// dynamic type the calling code cannot see.
void* OpaqueEngine(IGeometryEngine* pEngine);
// Makes pEngine the one the module's builds call, as Create does.
void UseEngine(IGeometryEngine* pEngine);

// Clicks into a line edit or spin box, selects all and types; Return when bConfirm.
void TypeOver(QWidget* pField, const QString& text, bool bConfirm = true);
// A click on a check box's or radio button's indicator.
void ClickIndicator(QAbstractButton* pButton);

// One dialog over a fresh config folder and a recording engine; no window,
// shape or list may outlive a test.
class DialogFixture
{
public:
    DialogFixture();
    ~DialogFixture();
    void SetUp();    // from init()
    void TearDown(); // from cleanup()

    // Opens the dialog, shown and active, and picks generator nPage with the keyboard.
    bool Open(int nPage = 0);
    // Forgets what was logged and built so far.
    void Settle();
    QWidget* Widget(const QString& name) const;
    // Clicks OK; false when there was no OK to click.
    bool ConfirmWithOk();

    std::unique_ptr<TempConfig> m_config;
    RecordingEngine m_engine;
    std::unique_ptr<DlgKerfmate> m_dlg;

private:
    long m_nShapes = 0;
    long m_nLists = 0;
};
