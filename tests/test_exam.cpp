#include "core/Errors.h"
#include "core/Random.h"
#include "exam/ListStreams.h"
#include "exam/Pictures.h"
#include "exam/Questions.h"
#include "exam/Settings.h"
#include "helpers/TestFiles.h"

#include "exam/Manager.h"

#include <QtEndian>
#include <QtTest>

#include <gif_lib.h>
#include <vector>

namespace {

TLineList Text(const QString &text)
{
    TLineList l;
    l.SetText(text);
    return l;
}

QByteArray Demo(const char *name)
{
    return ReadFile(DemoFile(name));
}

} // namespace

// A GIF of one frame: even rows red, odd rows blue.
QByteArray Gif(int screenWidth, int screenHeight, int width, int height, bool interlace)
{
    QByteArray out;
    int error = 0;
    GifFileType *gif = EGifOpen(
        &out,
        [](GifFileType *g, const GifByteType *bytes, int n) {
            static_cast<QByteArray *>(g->UserData)
                ->append(reinterpret_cast<const char *>(bytes), n);
            return n;
        },
        &error);
    const GifColorType colours[2] = {{255, 0, 0}, {0, 0, 255}};
    ColorMapObject *map = GifMakeMapObject(2, colours);
    EGifPutScreenDesc(gif, screenWidth, screenHeight, 1, 0, map);
    EGifPutImageDesc(gif, 0, 0, width, height, interlace, nullptr);
    std::vector<GifPixelType> line(static_cast<size_t>(width));
    static const int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
    for (int pass = 0; pass < (interlace ? 4 : 1); ++pass)
        for (int y = interlace ? start[pass] : 0; y < height; y += interlace ? step[pass] : 1) {
            std::fill(line.begin(), line.end(), GifPixelType(y % 2));
            EGifPutLine(gif, line.data(), width);
        }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return out;
}

class TestExam : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void onlySetupGivesTheDefaults()
    {
        const SetupReading r = ReadSetup(Text("[Setup]"), ExamSettings());
        const ExamSettings &s = r.Settings;
        QVERIFY(r.Found);
        QCOMPARE(s.AllZ, 1);
        QVERIFY(s.SaveJuornal);
        QVERIFY(s.Spisok);
        QVERIFY(s.YesReport);
        QVERIFY(!s.YesPassword);
        QVERIFY(!s.YTime);
        QCOMPARE(int(s.PO5), 80);
        QCOMPARE(int(s.PO4), 60);
        QCOMPARE(int(s.PO3), 40);
        QCOMPARE(s.FontQuestion.Size, 10);
        QCOMPARE(s.FontAnswer.Size, 8);
        QCOMPARE(s.FontQuestion.Color, int32_t(0x80000008u));
        // Read to the last step.
        QCOMPARE(r.Reached, SetupStep::FontJobEdit);
        QVERIFY(!r.Error);
        QVERIFY(!ReadSetup(Text("[setup ]\nAllZ=4"), s).Found);
    }

    void valueRules()
    {
        ExamSettings before;
        before.TipResult = 3;
        const SetupReading r =
            ReadSetup(Text("[Setup]\nLanguage=-3\nPO5=300\nSpisok=0\nAllZ=5000\nTipOc=257\n"
                           "HelpExam=a&<hr>b\nCEdit=Физика&<hr>9 класс\nTipResult=2\n"),
                      before);
        const ExamSettings &s = r.Settings;
        QCOMPARE(s.Language, 0);
        QCOMPARE(int(s.PO5), 44);
        QVERIFY(!s.Spisok);
        QCOMPARE(s.AllZ, 1023);
        QCOMPARE(int(s.TipOc), 1);
        QCOMPARE(s.HelpExam, QStringLiteral("a\r\nb"));
        QCOMPARE(s.CEdit, QStringLiteral("Физика&<hr>9 класс")); // as written: it goes to journals
        // The language is chosen before TipResult is read.
        QCOMPARE(r.LanguageTipResult, 3);
        QCOMPARE(s.TipResult, 2);
    }

    void keysNotReadKeepTheirValues()
    {
        const ExamSettings first =
            ReadSetup(Text("[Setup]\nDbNet=1\nPathDbNet=\\\\srv\\j\nBolNotKnow=1\nRNotKnow1=0\n"
                           "NotKnowPlus=7"),
                      ExamSettings())
                .Settings;
        QCOMPARE(first.PathDbNet, QStringLiteral("\\\\srv\\j"));
        QCOMPARE(first.NotKnowPlus, 7);
        const ExamSettings s =
            ReadSetup(Text("[Setup]\nDbNet=0\nBolNotKnow=0\nNotKnowPlus=9"), first).Settings;
        QVERIFY(!s.DbNet);
        QCOMPARE(s.PathDbNet, QStringLiteral("\\\\srv\\j"));
        QCOMPARE(s.NotKnowPlus, 7);
        QVERIFY(!s.RNotKnow1);
    }

    void titleFontIsOneObjectReused()
    {
        const auto names = [](const SetupReading &r) {
            QStringList out;
            for (const auto &f : r.TitleFonts)
                out.append(f ? f->Name : QStringLiteral("<default>"));
            return out;
        };
        const SetupReading r =
            ReadSetup(Text("[Setup]\n[FontTopStr]\nName=Arial\nSize=20\n[FontButEdit]\nStyle=1\n"),
                      ExamSettings());
        // CEdit has no section: it gets what TopStr made; ButEdit's section starts from the
        // defaults of its keys; JobEdit reuses that.
        QCOMPARE(names(r), (QStringList{"Arial", "Arial", "MS Sans Serif", "MS Sans Serif"}));
        QCOMPARE(names(ReadSetup(Text("[Setup]"), r.Settings)),
                 (QStringList{"<default>", "<default>", "<default>", "<default>"}));
    }

    void badFontStopsTheReading()
    {
        const SetupReading r =
            ReadSetup(Text("[Setup]\nTopEdit=Top\nFontQuestion=Arial,x\nYesResult=1"), {});
        QVERIFY(r.Error);
        try {
            std::rethrow_exception(r.Error);
        } catch (const EConvertError &e) {
            QCOMPARE(e.Message(), QStringLiteral("'x' не правильная величина целого числа"));
        }
        QCOMPARE(r.Reached, SetupStep::FontHelpExam);
        QCOMPARE(r.Settings.TopEdit, QStringLiteral("Top"));
        QVERIFY(!r.Settings.YesResult);
    }

    void questionOrder()
    {
        QCOMPARE(BuildQuestionOrder(0, true), std::vector<int32_t>{0});
        QCOMPARE(BuildQuestionOrder(3, false), (std::vector<int32_t>{0, 1, 2, 3}));
        RandomSeed(3);
        std::vector<int32_t> order = BuildQuestionOrder(9, true);
        QCOMPARE(order.size(), size_t(10));
        std::vector<int32_t> sorted = order;
        std::sort(sorted.begin(), sorted.end());
        QCOMPARE(sorted, BuildQuestionOrder(9, false));
        QVERIFY(order != sorted); // seed 3 does not draw the identity
        QCOMPARE(BuildQuestionOrder(5000, false).size(), size_t(MaxQuestions));
    }

    void missingSectionAndLimits()
    {
        TLineList buffer;
        const TQuestion none = ReadQuestion(Text("[Setup]"), 4, buffer);
        QCOMPARE(none.Page(), 1);
        QVERIFY(none.Vopros.isEmpty());
        QCOMPARE(int(none.AllW), 2);
        QCOMPARE(none.CorNo, 1);
        QVERIFY(none.B[0] && none.B[1] && !none.B[2]);
        const TLineList exam = Text("[V0]\nForm=7\nAllW=9\n[V1]\nForm=2\nAllW=5\n[V2]\nForm="
                                    "3\nAllW=0\n[V3]\nForm=1\nAllW=261");
        QCOMPARE(ReadQuestion(exam, 0, buffer).Page(), 1);
        QCOMPARE(int(ReadQuestion(exam, 0, buffer).AllW), 5);
        QCOMPARE(int(ReadQuestion(exam, 1, buffer).AllW), 4);
        QCOMPARE(ReadQuestion(exam, 1, buffer).Page(), 2);
        QCOMPARE(int(ReadQuestion(exam, 2, buffer).AllW), 1);
        QCOMPARE(int(ReadQuestion(exam, 3, buffer).AllW), 5); // 261 as a byte is 5
    }

    void shuffleFollowsTheCorrectAnswer()
    {
        const TLineList exam = Text(
            "[V7]\nAR=1\nAllW=3\nCorNo=2\nB3=1\nB4=1\nS1=a\nS2=b\nS3=c\nS4=d\nP1=pa\nP2=pb\nP3=pc\n"
            "[V8]\nAR=1\nAllW=3\nCorNo=7\nS1=a\nS2=b\nS3=c");
        TLineList buffer;
        auto table = std::make_unique<AnswerOrderTable>();
        for (auto &row : *table)
            row.fill(0);
        QSet<QString> firsts;
        for (uint32_t seed = 1; seed < 40; ++seed) {
            RandomSeed(seed);
            const TQuestion q = LoadQuestionRecord(exam, 7, buffer, *table);
            const auto &order = (*table)[7];
            QCOMPARE(q.S[size_t(q.CorNo - 1)], QStringLiteral("b"));
            QCOMPARE(order[size_t(q.CorNo - 1)], 1);
            for (int k = 0; k < 3; ++k) {
                QCOMPARE(q.S[size_t(k)], QString(QChar(u'a' + order[size_t(k)])));
                QCOMPARE(q.P[size_t(k)], QStringLiteral("p") + QChar(u'a' + order[size_t(k)]));
            }
            QCOMPARE(order[3], 0); // beyond AllW the table is untouched
            // Flags stay with the positions; position 4 keeps its text.
            QVERIFY(q.B[2] && q.B[3]);
            QCOMPARE(q.S[3], QStringLiteral("d"));
            QCOMPARE(q.QuestionPicture, QStringLiteral("pa"));
            firsts.insert(q.S[0]);
        }
        QCOMPARE(firsts.size(), 3);
        // No answer is correct: CorNo keeps its value.
        QCOMPARE(LoadQuestionRecord(exam, 8, buffer, *table).CorNo, 7);
        // Without AR the order is the identity.
        const TLineList plain = Text("[V2]\nAllW=4\nS1=a");
        (*table)[2] = {9, 9, 9, 9, 9};
        LoadQuestionRecord(plain, 2, buffer, *table);
        QCOMPARE((*table)[2], (std::array<int32_t, 5>{0, 1, 2, 3, 9}));
    }

    void pictureLookupInPlainMode()
    {
        QStringList asked;
        const QStringList present{QStringLiteral("b.bmp"), QStringLiteral("/exams/c.gif")};
        const auto exists = [&](const QString &p) {
            asked.append(p);
            return present.contains(p);
        };
        QCOMPARE(FindPictureFile(QStringLiteral("C:\\old\\b.bmp"), QStringLiteral("/exams/e.fzk"),
                                 exists),
                 QStringLiteral("b.bmp"));
        QCOMPARE(asked, (QStringList{"C:\\old\\b.bmp", "b.bmp"}));
        QCOMPARE(FindPictureFile(QStringLiteral("D:c.gif"), QStringLiteral("/exams/e.fzk"), exists),
                 QStringLiteral("/exams/c.gif"));
        QCOMPARE(
            FindPictureFile(QStringLiteral("none.jpg"), QStringLiteral("/exams/e.fzk"), exists),
            QString());
        QImage image;
        QVERIFY(!LoadPicture(image, QStringLiteral(" a.b "), KindQuestion, nullptr, QString()));
    }

    void decoders()
    {
        for (const char *name : {"triangle.jpg", "circle.gif", "square.bmp"}) {
            const QImage image = DecodePicture(Demo(name), QString::fromLatin1(name));
            QCOMPARE(image.size(), QSize(160, 160));
            // The middle of each demo figure is coloured, its corner white.
            QVERIFY(image.pixelColor(80, 100) != QColor(Qt::white));
            QVERIFY(qAbs(image.pixelColor(2, 2).lightness() - 255) < 8);
        }
        const QByteArray jpeg = Demo("triangle.jpg");
        (void)DecodeJpeg(jpeg.left(jpeg.size() / 3),
                         QSize(800, 800)); // a cut file gives what it has, never a crash
        QVERIFY(DecodeJpeg(jpeg.left(20), QSize(800, 800)).isNull());
        QVERIFY(DecodeJpeg(QByteArray("\xff\xd8 not really", 12), QSize(800, 800)).isNull());
        QVERIFY(DecodeGif(QByteArray("GIF89a")).isNull());
        QVERIFY(DecodePicture(Demo("square.bmp"), QStringLiteral("x.wmf")).isNull());
        QVERIFY(DecodePicture(QByteArray("BM garbage"), QStringLiteral("x.bmp")).isNull());
    }

    // Pictures are never held larger than they can be shown: a GIF is its first frame whatever
    // screen it claims, a large JPEG is decoded at a reduced scale, and what would still be too
    // large is no picture.
    void pictureLimits_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size"); // invalid: no picture
        QByteArray huge = Demo("triangle.jpg");
        const qsizetype sof = huge.indexOf("\xff\xc0");
        QVERIFY(sof > 0);
        huge[sof + 5] = char(0x27), huge[sof + 6] = char(0x10), huge[sof + 7] = char(0x27),
                   huge[sof + 8] = char(0x10);
        QTest::newRow("JPEG claiming 10000 x 10000, cut")
            << huge.left(2000) << "a.jpg" << QSize(800, 800);
        QTest::newRow("GIF: 4 x 4 frame on a 10000 x 10000 screen")
            << Gif(10000, 10000, 4, 4, false) << "b.gif" << QSize(4, 4);
        QTest::newRow("GIF frame over the budget")
            << Gif(6000, 6000, 6000, 6000, false) << "c.gif" << QSize();
        QTest::newRow("larger than the screen: shrunk")
            << Gif(1600, 1000, 1600, 1000, false) << "s.gif" << QSize(800, 500);
        QTest::newRow("interlaced GIF")
            << Gif(600, 400, 600, 400, true) << "d.gif" << QSize(600, 400);
        QByteArray bmp(54, '\0');
        bmp[0] = 'B', bmp[1] = 'M', bmp[14] = 40, bmp[26] = 1, bmp[28] = 24;
        qToLittleEndian<qint32>(30000, bmp.data() + 18),
            qToLittleEndian<qint32>(30000, bmp.data() + 22);
        QTest::newRow("BMP claiming 30000 x 30000") << bmp << "e.bmp" << QSize();
    }
    void pictureLimits()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, name);
        QFETCH(QSize, size);
        const QImage image = DecodePicture(data, name, QSize(800, 800));
        QCOMPARE(image.isNull() ? QSize() : image.size(), size);
        if (name == u"d.gif") // rows in their places: red on even rows, blue on odd ones
            for (int y : {0, 1, 2, 3, 4, 5, 6, 7, 250, 399})
                QCOMPARE(image.pixelColor(300, y).red() > image.pixelColor(300, y).blue(),
                         y % 2 == 0);
    }

    void containerPictures()
    {
        TListStreams streams;
        streams.LoadFromBytes(BuildContainer({{QStringLiteral("Pic.JPG"), Demo("triangle.jpg")},
                                              {QStringLiteral("bad.bmp"), QByteArray("junk")},
                                              {QStringLiteral("c.gif"), Demo("circle.gif")}},
                                             false));
        QImage image;
        QVERIFY(LoadPicture(image, QStringLiteral("pic.jpg"), KindUniform, &streams, QString()));
        QCOMPARE(image.width(), 160);
        QVERIFY(LoadPicture(image, QStringLiteral("c.gif"), KindUniform, &streams, QString()));
        QVERIFY(!LoadPicture(image, QStringLiteral("bad.bmp"), KindUniform, &streams, QString()));
        QVERIFY(
            !LoadPicture(image, QStringLiteral("missing.bmp"), KindUniform, &streams, QString()));
        QVERIFY(!LoadPicture(image, QStringLiteral("pic.jpg"), KindNone, &streams, QString()));
    }

    // The subject manager's lists: categories in order of first appearance (one spelling),
    // exact-case filtering, every line a subject when there is no category.
    void managerLists_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("categories");
        QTest::addColumn<QStringList>("subjects"); // of the first category
        QTest::newRow("no category: every line, blank ones too")
            << "Физика@C:\\Экзамены\\ф.uzk\r\n\r\nХимия@x.fzk@@@\r\n"
            << QStringList{} << QStringList{"Физика", "", "Химия"};
        QTest::newRow("categories differing in case")
            << "А@a.fzk@@@7 класс\r\nБ@b.fzk@@@7 КЛАСС\r\nВ@c.fzk@@@8 "
               "класс\r\nГ@d.fzk\r\nД@e.fzk@@@7 класс@x@y"
            << QStringList{"7 класс", "8 класс"} << QStringList{"А", "Д"};
    }
    void managerLists()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, categories);
        QFETCH(QStringList, subjects);
        const ManagerFile file = ReadManagerText(text);
        QCOMPARE(file.Categories, categories);
        QStringList listed;
        for (const ManagerRecord &r : SubjectsOf(file, categories.value(0)))
            listed.append(r.Subject);
        QCOMPARE(listed, subjects);
    }

    void managerChoice_data()
    {
        QTest::addColumn<QString>("examFile");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("network");
        QTest::newRow("Windows folder") << " C:\\Exams\\Физика.uzk\t"
                                        << "C:\\Exams\\Физика.uzk"
                                        << "C:\\Exams" << false;
        QTest::newRow("share") << "\\\\server\\exams\\a.fzk"
                               << "\\\\server\\exams\\a.fzk"
                               << "\\\\server\\exams" << true;
        QTest::newRow("drive and share") << "X:\\\\srv\\e\\a.fzk"
                                         << "X:\\\\srv\\e\\a.fzk"
                                         << "X:\\\\srv\\e" << true;
        QTest::newRow("slashes") << "/srv/exams/b.fzk"
                                 << "/srv/exams/b.fzk"
                                 << "/srv/exams" << false;
        QTest::newRow("blank line") << ""
                                    << ""
                                    << "" << false;
    }
    void managerChoice()
    {
        QFETCH(QString, examFile);
        QFETCH(QString, chosen);
        QFETCH(QString, folder);
        QFETCH(bool, network);
        const ManagerChoice c = ChooseSubject(
            {QStringLiteral("S"), examFile, QStringLiteral(" u "), QStringLiteral("p"), QString()});
        QCOMPARE(c.ExamFile, chosen);
        QCOMPARE(c.ShareDir, folder);
        QCOMPARE(c.OnNetwork, network);
        QCOMPARE(c.ShareUser, QStringLiteral("u"));
    }

    // Start on a subject: its share is connected only when its file cannot be reached yet.
    void managerShare_data()
    {
        QTest::addColumn<QString>("examFile");
        QTest::addColumn<bool>("reachable");    // before any connection
        QTest::addColumn<int>("connectResult"); // -1: never connected
        QTest::addColumn<bool>("reachableAfter");
        QTest::addColumn<bool>("shareOpen");
        const QString unc = QStringLiteral("\\\\srv\\exams\\a.fzk");
        QTest::newRow("local subject leaves it as it was")
            << "C:\\Exams\\a.fzk" << false << -1 << false << false;
        QTest::newRow("reachable share not connected again") << unc << true << -1 << true << true;
        QTest::newRow("connected") << unc << false << 0 << true << true;
        QTest::newRow("already connected") << unc << false << 85 << true << true;
        QTest::newRow("refused, still unreachable") << unc << false << 53 << false << false;
        QTest::newRow("logon failed, yet reachable now") << unc << false << 1326 << true << true;
    }
    void managerShare()
    {
        QFETCH(QString, examFile);
        QFETCH(bool, reachable);
        QFETCH(int, connectResult);
        QFETCH(bool, reachableAfter);
        QFETCH(bool, shareOpen);
        const ManagerChoice c = ChooseSubject(
            {QStringLiteral("S"), examFile, QStringLiteral("u"), QStringLiteral("p"), QString()});
        bool connected = false;
        const bool open = ManagerShareOpenAfter(
            c, false,
            [&](const QString &name) {
                return name == c.ExamFile && (connected ? reachableAfter : reachable);
            },
            [&](const QString &dir, const QString &user, const QString &password) {
                connected =
                    dir == QStringLiteral("\\\\srv\\exams") && user == u"u" && password == u"p";
                return connectResult;
            });
        QCOMPARE(open, shareOpen);
        QCOMPARE(connected, connectResult >= 0);
    }

    // At most one box of the subjects is checked.
    void managerCheckList()
    {
        QList<bool> checked{false, true, false};
        int selected = 1;
        checked[2] = true; // another box checked: the first one goes
        selected = ToggleCheck(checked, 2, selected);
        QCOMPARE(checked, (QList<bool>{false, false, true}));
        QCOMPARE(selected, 2);
        checked[2] = false; // the selected box unchecked: it stays selected
        QCOMPARE(ToggleCheck(checked, 2, selected), 2);
        checked = {false, false, true};
        checked[0] = false; // an unchecked box toggled off again: the selected one stays checked
        selected = ToggleCheck(checked, 0, 2);
        QCOMPARE(selected, 2);
        QCOMPARE(checked, (QList<bool>{false, false, true}));
    }
};

QTEST_GUILESS_MAIN(TestExam)
#include "test_exam.moc"
