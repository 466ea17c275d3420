#include "base/pinyinkeys.h"

#include <QTest>

namespace {

QStringList spellings(const QString &name, PinyinKeys::Kind kind)
{
    QStringList out;
    for (const PinyinKeys::Spelling &s : PinyinKeys::of(name))
        if (s.kind == kind)
            out << s.text;
    return out;
}

} // namespace

class TestPinyinKeys : public QObject
{
    Q_OBJECT

private slots:
    // Each polyphone is found by every reading; letters and digits stand for themselves.
    void aNameIsSpelledByEveryReading_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("initials");   // each must be among the name's
        QTest::addColumn<QStringList>("full");
        QTest::newRow("digits and letters") << "可口可乐330ml" << QStringList{"kkkl330ml"} << QStringList{"kekoukele330ml"};
        QTest::newRow("bank, both readings") << "银行卡" << QStringList{"yhk", "yxk"} << QStringList{"yinhangka", "yinxingka"};
        QTest::newRow("great wall") << "长城干红" << QStringList{"ccgh", "zcgh"} << QStringList{"changchengganhong"};
        QTest::newRow("chongqing") << "重庆小面" << QStringList{"cqxm", "zqxm"} << QStringList{"chongqingxiaomian"};
        QTest::newRow("u with umlaut is v") << "绿茶" << QStringList{"lc"} << QStringList{"lvcha"};
        QTest::newRow("upper case and marks") << "Coca-Cola 可乐" << QStringList{"cocacolakl"} << QStringList{"cocacolakele"};
        QTest::newRow("water") << "农夫山泉550ml" << QStringList{"nfsq550ml"} << QStringList{"nongfushanquan550ml"};
        // A character beyond the first plane (two UTF-16 units) is one character.
        QTest::newRow("beyond the first plane") << "\U00020000\U00020001茶" << QStringList{"hqc"} << QStringList{"heqicha"};
    }
    void aNameIsSpelledByEveryReading()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, initials);
        QFETCH(QStringList, full);
        const QStringList madeInitials = spellings(name, PinyinKeys::Kind::Initials);
        const QStringList madeFull = spellings(name, PinyinKeys::Kind::Full);
        for (const QString &s : initials)
            QVERIFY2(madeInitials.contains(s), qPrintable(s + QLatin1String(" not in ") + madeInitials.join(',')));
        for (const QString &s : full)
            QVERIFY2(madeFull.contains(s), qPrintable(s + QLatin1String(" not in ") + madeFull.join(',')));
        QCOMPARE(madeInitials.size(), QSet<QString>(madeInitials.cbegin(), madeInitials.cend()).size());
    }

    void aLongNameOfPolyphonesStaysBounded()
    {
        // Every character here has two or more readings.
        const QString name = QStringLiteral("重长行乐重长行乐重长行乐");
        QVERIFY(spellings(name, PinyinKeys::Kind::Full).size() <= PinyinKeys::kMostOfAKind);
        QVERIFY(spellings(name, PinyinKeys::Kind::Full).contains(QStringLiteral("zhongzhangxinglezhongzhangxingle"
                                                                                "zhongzhangxingle")));
        QVERIFY(PinyinKeys::of(QStringLiteral("（）～")).isEmpty());
    }

    void typedTextIsPinyinOnlyWhenLettersAndDigits_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("spelling");
        QTest::newRow("initials") << "KKKL" << "kkkl";
        QTest::newRow("with digits") << "nfsq550" << "nfsq550";
        QTest::newRow("a name") << "可乐" << "";
        QTest::newRow("a pattern") << "kk%" << "";
        QTest::newRow("a blank") << " kk" << "";
    }
    void typedTextIsPinyinOnlyWhenLettersAndDigits()
    {
        QFETCH(QString, typed);
        QFETCH(QString, spelling);
        QCOMPARE(PinyinKeys::typed(typed), spelling);
    }
};

QTEST_GUILESS_MAIN(TestPinyinKeys)
#include "tst_pinyinkeys.moc"
