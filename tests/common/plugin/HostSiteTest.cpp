#include "plugin/HostSite.h"

#include <gtest/gtest.h>

#include <cstddef>

namespace {

int alwaysCancelled(void* context)
{
    ++*static_cast<int*>(context);
    return 1;
}

TEST(HostSite, NullSiteGivesHeadlessDefaults)
{
    const HostSite site(nullptr);
    EXPECT_FALSE(site.showProgress());
    EXPECT_EQ(site.parentWindow(), nullptr);
    EXPECT_FALSE(site.isCancelled());
}

TEST(HostSite, ReadsEveryFieldOfAFullSite)
{
    int polls = 0;
    int window = 0;
    NvHostSite raw {sizeof(NvHostSite), NV_SITE_SHOW_PROGRESS, &window, &alwaysCancelled, &polls};
    const HostSite site(&raw);
    EXPECT_TRUE(site.showProgress());
    EXPECT_EQ(site.parentWindow(), &window);
    EXPECT_TRUE(site.isCancelled());
    EXPECT_EQ(polls, 1);
}

TEST(HostSite, IgnoresFieldsBeyondTheSizeAnOlderHostGave)
{
    int polls = 0;
    int window = 0;
    NvHostSite raw {sizeof(NvHostSite), NV_SITE_SHOW_PROGRESS, &window, &alwaysCancelled, &polls};
    // A host that knew only the flags.
    raw.size = static_cast<std::uint32_t>(offsetof(NvHostSite, parentWindow));
    const HostSite older(&raw);
    EXPECT_TRUE(older.showProgress());
    EXPECT_EQ(older.parentWindow(), nullptr);
    EXPECT_FALSE(older.isCancelled());
    EXPECT_EQ(polls, 0);

    // The callback without its context is not taken either.
    raw.size = static_cast<std::uint32_t>(offsetof(NvHostSite, cancelContext));
    const HostSite partial(&raw);
    EXPECT_EQ(partial.parentWindow(), &window);
    EXPECT_FALSE(partial.isCancelled());
    EXPECT_EQ(polls, 0);
}

} // namespace
