#include "support/testcontext.h"
#include "ui/ktbaseviewcontroller.h"
#include "ui/screenregistry.h"

class RegistryProbeViewController : public KTBaseViewController
{
    Q_OBJECT
public:
    RegistryProbeViewController() { setTitle(QStringLiteral("probe")); }
};

namespace {

class ScreenRegistryTest : public ContextTest
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        ScreenRegistry::add<RegistryProbeViewController>();
    }
};

TEST_F(ScreenRegistryTest, CreatesAFreshScreenByClassName)
{
    ASSERT_TRUE(ScreenRegistry::contains("RegistryProbeViewController"));
    std::unique_ptr<KTBaseViewController> a(ScreenRegistry::create("RegistryProbeViewController"));
    std::unique_ptr<KTBaseViewController> b(ScreenRegistry::create("RegistryProbeViewController"));
    ASSERT_TRUE(a);
    ASSERT_TRUE(b);
    EXPECT_NE(a.get(), b.get());
    EXPECT_TRUE(qobject_cast<RegistryProbeViewController *>(a.get()));
    EXPECT_EQ(a->title(), "probe");
    EXPECT_EQ(a->pageName(), "RegistryProbeViewController");
    EXPECT_EQ(&a->context(), &ctx());
}

TEST_F(ScreenRegistryTest, UnknownNameGivesNothing)
{
    EXPECT_EQ(ScreenRegistry::create("NoSuchViewController"), nullptr);
    EXPECT_EQ(ScreenRegistry::create(QString()), nullptr);
    EXPECT_FALSE(ScreenRegistry::contains("NoSuchViewController"));
}

TEST_F(ScreenRegistryTest, FirstRegistrationOfANameStays)
{
    bool otherUsed = false;
    EXPECT_FALSE(ScreenRegistry::add("RegistryProbeViewController", [&]() -> KTBaseViewController * {
        otherUsed = true;
        return new KTBaseViewController;
    }));
    std::unique_ptr<KTBaseViewController> s(ScreenRegistry::create("RegistryProbeViewController"));
    EXPECT_TRUE(qobject_cast<RegistryProbeViewController *>(s.get()));
    EXPECT_FALSE(otherUsed);
    EXPECT_EQ(ScreenRegistry::names().count("RegistryProbeViewController"), 1);
}

} // namespace

#include "registry_test.moc"
