#include "attempt/questionorder.h"

#include <QSet>
#include <QTest>
#include <algorithm>
#include <numeric>

using namespace merilon;

class TestQuestionOrder : public QObject
{
    Q_OBJECT

private slots:
    void generatorByHand();
    void fills();
    void streamGoesOn();
    void clockSeedMoves();
};

void TestQuestionOrder::generatorByHand()
{
    // seed 0: 0 * 134775813 + 1 = 1, and 50 * 1 / 2^32 is 0;
    // 1 * 134775813 + 1 = 134775814, and 50 * 134775814 / 2^32 = 1.57;
    // 134775814 * 134775813 + 1 = 3698175007 (mod 2^32), 50 * that / 2^32 = 43.05.
    QuestionOrderGenerator generator(0);
    QCOMPARE(generator.randomBelow(50), 0u);
    QCOMPARE(generator.seed(), 1u);
    QCOMPARE(generator.randomBelow(50), 1u);
    QCOMPARE(generator.seed(), 134775814u);
    QCOMPARE(generator.randomBelow(1000), 861u);
    QCOMPARE(generator.seed(), 3698175007u);
    QCOMPARE(generator.randomBelow(0), 0u);

    // So a fill from seed 0 begins 1, 2, 44, 11 (each draw is new).
    std::vector<std::int32_t> order;
    generator.setSeed(0);
    generator.fillOrder(order, 50);
    QCOMPARE(std::vector<std::int32_t>(order.begin(), order.begin() + 4),
             (std::vector<std::int32_t>{1, 2, 44, 11}));
}

void TestQuestionOrder::fills()
{
    QuestionOrderGenerator generator(12345);
    std::vector<std::int32_t> order{7, 7, 7};
    generator.fillOrder(order, 1);
    QCOMPARE(order, std::vector<std::int32_t>{1});
    QCOMPARE(generator.seed(), 1655067934u); // exactly one draw

    for (std::uint32_t seed : {0u, 1u, 0xFFFFFFFFu, 20261208u}) {
        generator.setSeed(seed);
        generator.fillOrder(order, 50);
        QCOMPARE(order.size(), size_t(50));
        std::vector<std::int32_t> sorted = order;
        std::sort(sorted.begin(), sorted.end());
        std::vector<std::int32_t> all(50);
        std::iota(all.begin(), all.end(), 1);
        QCOMPARE(sorted, all);
    }

    generator.fillOrder(order, 0);
    QVERIFY(order.empty());
}

void TestQuestionOrder::streamGoesOn()
{
    // A second fill continues where the first left off.
    QuestionOrderGenerator run(99);
    std::vector<std::int32_t> first, second;
    run.fillOrder(first, 50);
    const std::uint32_t after = run.seed();
    run.fillOrder(second, 50);
    QVERIFY(first != second);

    QuestionOrderGenerator resumed(after);
    std::vector<std::int32_t> again;
    resumed.fillOrder(again, 50);
    QCOMPARE(again, second);
}

void TestQuestionOrder::clockSeedMoves()
{
    // The finest clock of the system: two readings a few milliseconds apart differ, so two
    // attempts started one after the other get different orders.
    QSet<std::uint32_t> seeds;
    for (int i = 0; i < 5; ++i) {
        seeds.insert(clockSeed());
        QTest::qSleep(3);
    }
    QCOMPARE(seeds.size(), 5);
}

QTEST_MAIN(TestQuestionOrder)
#include "tst_questionorder.moc"
