// SPDX-License-Identifier: MIT
#include "fakes/FormHarness.h"

#include <gtest/gtest.h>

namespace {

TEST(ContactLabels, BothElementsOfANoticeOpenTheSameShippedDocument)
{
    FormHarness h;
    h.form.Label4_Click(0);
    h.form.Label4_Click(2);
    h.form.Label5_Click(1);
    h.form.Label5_Click(0);
    EXPECT_EQ(h.shell.opened, (std::vector<std::string>{
                                  "/opt/sentrybell/doc/user-guide.html",
                                  "/opt/sentrybell/doc/user-guide.html",
                                  "/opt/sentrybell/doc/notes.html",
                                  "/opt/sentrybell/doc/notes.html",
                              }));
}

TEST(ContactLabels, TheSecondNoticeSaysWhatTheProgramGivesIt)
{
    FormHarness h;
    EXPECT_EQ(h.form.Label5(1).Caption(), h.notice.leadIn);
    EXPECT_EQ(h.form.Label5(0).Caption(), h.notice.link);
}

TEST(ContactLabels, ARootInstallFormsTheDocumentPathWithOneSeparator)
{
    FormHarness h;
    h.environment.folder = "/";
    h.form.Label4_Click(0);
    EXPECT_EQ(h.shell.opened.at(0), "/doc/user-guide.html");
}

} // namespace
