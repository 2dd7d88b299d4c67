// Badges: each line of text in its band, and read as written.
#include "EngineChecks.h"

class TestBadge : public QObject
{
    Q_OBJECT

private slots:
    void sealLinesKeepToTheirRoom_data();
    void sealLinesKeepToTheirRoom();
    void sealTextReadsAsWritten_data();
    void sealTextReadsAsWritten();

private:
    TempConfig m_config;
    CReferenceEngine m_engine;
};

void TestBadge::sealLinesKeepToTheirRoom_data()
{
    QTest::addColumn<SSealBoxParam>("seal");
    const auto texts = [](const QStringList& lines, const char* family) {
        SSealBoxParam s;
        for (SSealTextParam* text : {&s.sText1, &s.sText2, &s.sText3})
            qstrcpy(text->Text, lines.value(int(text - &s.sText1)).toUtf8()), qstrcpy(text->Facename, family);
        return s;
    };
    const QString latin = QString("Regional Chess Championship, Spring Open 2024 ABCD").left(50);
    const QString chinese = QString("上海市第一中学国际象棋锦标赛一等奖").repeated(3).left(50);
    QTest::newRow("defaults") << texts({"COMPETITION", "First Prize", "Medal"}, "DejaVu Serif");
    QTest::newRow("chinese in a missing family, middle line lowered")
        << With(texts({"上海市第一中学", "一等奖", "奖"}, "宋体"), [](auto& s) { s.sText3.dOffset = 4; });
    QTest::newRow("50 latin characters") << texts({latin, latin, latin}, "DejaVu Sans");
    QTest::newRow("50 chinese characters") << texts({chinese, chinese, chinese}, "宋体");
    QTest::newRow("stamp, no star, no inner circle, descenders")
        << With(texts({"pygmy", "jolly", "Qg"}, ""), [](auto& s) { s.bTextReverse = true, s.bStar = false, s.D2 = 0; });
    QTest::newRow("single ring, tall letters") << With(texts({latin, chinese, "中文 Text"}, "DejaVu Sans"), [](auto& s) {
        s.D1 = s.D2 = 80, s.sText1.dHeight = s.sText2.dHeight = 12, s.sText1.dSpace = 30;
    });
    // Long lines of joined, right-to-left and tall letters, smallest and largest.
    const QString scripts[][2] = {{"latin", latin}, {"chinese", chinese}, {"arabic", "جامعة القاهرة للعلوم والتكنولوجيا"},
                                  {"hebrew", "אליפות השחמט האזורית, פרס ראשון"}, {"tall", "TTHHTTHHTTHHTTHHTTHH"}};
    for (const auto& [name, line] : scripts)
        for (double size : {4.0, 30.0})
            QTest::addRow("%s at %g mm", qPrintable(name), size) << With(texts({line, line, line}, ""), [&](auto& s) {
                s.D1 = size > 4 ? 200 : 60, s.D2 = s.D1 / 2;
                for (SSealTextParam* text : {&s.sText1, &s.sText2, &s.sText3})
                    text->dHeight = size, text->dSpace = 0;
            });
}

void TestBadge::sealLinesKeepToTheirRoom()
{
    QFETCH(SSealBoxParam, seal);
    const bool fills = QString::fromUtf8(seal.sText1.Text).size() < 20; // short lines fill their band
    Output out;
    QVERIFY(m_engine.CreateSeal(seal, out.pMain) && Finite(out));
    const bool star = seal.bStar && seal.dStarSize > 0;
    const int first = 1 + (seal.D2 > 0) + star;
    QCOMPARE(out.MainCount(), first + 3);
    for (int i = 0; i < out.MainCount(); ++i) // only the rim is cut
        QCOMPARE(out.Main(i)->GetLayer(), int(i == 0 ? CShape::LayerCut : CShape::LayerEngrave));
    for (int i = 0; i < first - star; ++i) { // the circles, on their radius to the chords' tolerance
        const QPolygonF circle = Contours(out.Main(i)).value(0);
        const double radius = (i ? seal.D2 : seal.D1) / 2;
        for (int k = 0; k + 1 < circle.size(); ++k)
            QVERIFY(std::abs(std::hypot(circle[k].x(), circle[k].y()) - radius) < 1e-9 * radius
                    && radius - QLineF(QPointF(), (circle[k] + circle[k + 1]) / 2).length() <= EngineOutline::kChordTolerance);
    }
    // The star as wide as asked where it has room; text 3 moved down by its offset.
    const QRectF starBox = star ? PathOf(out.Main(first - 1)).boundingRect() : QRectF();
    QVERIFY(!star || (starBox.width() <= seal.dStarSize + 1e-6 && (seal.dStarSize > seal.D2 / 4 || starBox.width() > 0.9 * seal.dStarSize)));
    Output unmoved;
    QVERIFY(m_engine.CreateSeal(With(seal, [](auto& s) { s.sText3.dOffset = 0; }), unmoved.pMain));
    const double moved = PathOf(out.Main(first + 2)).boundingRect().center().y() - PathOf(unmoved.Main(first + 2)).boundingRect().center().y();
    QVERIFY2(seal.sText3.dOffset <= 0 || moved > 0, qPrintable(QString::number(moved)));
    const double rim = seal.D1 / 2, inner = seal.D2 / 2, gap = CReferenceEngine::kTextClearance - 1e-6;
    const double middle = (inner > 0 && inner < rim ? inner : rim - seal.sText1.dOffset - seal.sText1.dHeight) - gap;
    const SSealTextParam* texts[] = {&seal.sText1, &seal.sText2, &seal.sText3};
    for (int line = 0; line < 3; ++line) {
        const SSealTextParam& t = *texts[line];
        const QPainterPath path = PathOf(out.Main(first + line));
        double low = qInf(), high = 0, left = 0, right = 0;
        for (const QPolygonF& contour : path.toSubpathPolygons())
            for (const QPointF& p : contour) {
                const double r = std::hypot(p.x(), p.y());
                low = std::min(low, line < 2 ? r : p.y()), high = std::max(high, line < 2 ? r : p.y());
                const double along = line < 2 ? (rim - t.dOffset) * std::atan2(p.x(), line ? p.y() : -p.y()) : p.x();
                left = std::min(left, along), right = std::max(right, along);
                QVERIFY(r < rim - gap && (inner <= 0 || std::abs(r - inner) > gap));
                // Each arc line keeps to its half; the middle line to the middle, under the star.
                QVERIFY(line == 0 ? p.y() < 0 : line == 1 ? p.y() > 0 : r < middle);
                QVERIFY(line < 2 || !star || p.y() > seal.dStarSize / 2);
            }
        // Inside its band, and as tall as asked when short.
        QVERIFY(line == 2 || (low >= rim - t.dOffset - t.dHeight - 1e-6 && high <= rim - t.dOffset + 1e-6));
        QVERIFY(!fills || high - low >= 0.9 * t.dHeight);
        // Centred: only the end letters' side bearings may tip it.
        QVERIFY2(std::abs(left + right) / 2 < 0.1 * (high - low), qPrintable(QStringLiteral("line %1 off by %2 of %3").arg(line).arg((left + right) / 2).arg(high - low)));
        QVERIFY(FillsAlike(path));
        // Letters apart when set straight stay apart on the arcs.
        const int straight = PathOf(out.Main(first + 2)).toSubpathPolygons().size();
        QVERIFY(qstrcmp(t.Text, seal.sText3.Text) || path.toSubpathPolygons().size() >= straight);
        for (int other = first - star; other < first + line; ++other) // no line touches another or the star
            QVERIFY(!path.intersects(PathOf(out.Main(other))));
    }
}

void TestBadge::sealTextReadsAsWritten_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("printed"); // the line as it must print, set left to right
    QTest::addColumn<QString>("printedFamily");
    const QString ltr = QStringLiteral("\u202D"); // left-to-right override: set as written
    QTest::newRow("hebrew reads right to left") << "שלום עולם" << "DejaVu Sans" << ltr + "םלוע םולש" << "DejaVu Sans";
    QTest::newRow("arabic joins, right to left") << "سلام" << "DejaVu Sans" << ltr + "\uFEE1\uFEFC\uFEB3" << "";
    // fonts-lyx (scripts/test.sh adds it): faces that map symbols onto Latin codes.
    for (const char* symbols : {"esint10", "cmsy10", "msbm10", "wasy10"})
        QTest::addRow("%s as no font", symbols) << "Medal & 1st" << symbols << "Medal & 1st" << "";
}

void TestBadge::sealTextReadsAsWritten()
{
    QFETCH(QString, text);
    QFETCH(QString, family);
    QFETCH(QString, printed);
    QFETCH(QString, printedFamily);
    const auto middleLine = [this](const QString& line, const QString& face) {
        SSealBoxParam seal;
        qstrcpy(seal.sText3.Text, line.toUtf8()), qstrcpy(seal.sText3.Facename, face.toUtf8());
        Output out;
        return m_engine.CreateSeal(seal, out.pMain) ? PathOf(out.Main(out.MainCount() - 1)) : QPainterPath();
    };
    const QPainterPath drawn = middleLine(text, family);
    QVERIFY(QFontDatabase::hasFamily(family) && !drawn.isEmpty());
    QCOMPARE(drawn, middleLine(printed, printedFamily));
}

QTEST_MAIN(TestBadge)
#include "tst_badge.moc"
