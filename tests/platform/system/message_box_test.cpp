#include <gtest/gtest.h>

#include "platform/system/message_box.h"
#include "platform/system/sim_system.h"

namespace veltrix::platform {
namespace {

TEST(MessageBoxTest, ParseAnswerAcceptsTheFourWordsInAnyCase) {
  EXPECT_EQ(ParseAnswer("ok"), Answer::kOk);
  EXPECT_EQ(ParseAnswer("YES"), Answer::kYes);
  EXPECT_EQ(ParseAnswer("No"), Answer::kNo);
  EXPECT_EQ(ParseAnswer("cancel"), Answer::kCancel);
  EXPECT_EQ(ParseAnswer("y"), std::nullopt);
  EXPECT_EQ(ParseAnswer(""), std::nullopt);
}

TEST(MessageBoxTest, AnswersMapOntoTheButtonsTheBoxHas) {
  EXPECT_EQ(ButtonForAnswer(vbOKOnly, Answer::kNo), vbOK);
  EXPECT_EQ(ButtonForAnswer(vbOKOnly | vbCritical, Answer::kYes), vbOK);
  // "ok" acknowledges; it does not agree to a Yes/No question (a shut-down, say).
  EXPECT_EQ(ButtonForAnswer(vbYesNo | vbQuestion, Answer::kOk), vbNo);
  EXPECT_EQ(ButtonForAnswer(vbYesNo, Answer::kYes), vbYes);
  EXPECT_EQ(ButtonForAnswer(vbOKCancel, Answer::kOk), vbOK);
  EXPECT_EQ(ButtonForAnswer(vbYesNo, Answer::kCancel), vbNo);
  EXPECT_EQ(ButtonForAnswer(vbOKCancel, Answer::kYes), vbOK);
  EXPECT_EQ(ButtonForAnswer(vbOKCancel, Answer::kNo), vbCancel);
}

TEST(MessageBoxTest, UnansweredQuestionsGetTheNegativeButton) {
  ScriptedAnswers script;
  EXPECT_EQ(script.Respond("Do you want to shut down your System?", vbYesNo, "Veltrix III"), vbNo);
  EXPECT_EQ(script.Respond("Hushwind has already run!!", vbOKOnly, "Message"), vbOK);
  EXPECT_EQ(script.Respond("Continue?", vbOKCancel, "Warning"), vbCancel);
}

TEST(MessageBoxTest, QueueIsUsedInOrderThenTheDefaultAndEveryBoxIsRecorded) {
  ScriptedAnswers script(Answer::kNo);
  script.Queue(Answer::kYes);
  SimSystem system({.messageBoxes = script.Sink()});

  EXPECT_EQ(system.MsgBox("first?", vbYesNo, "Veltrix III"), vbYes);
  EXPECT_EQ(system.MsgBox("second?", vbYesNo, "Veltrix III"), vbNo);
  EXPECT_EQ(system.MsgBox("note", vbOKOnly | vbInformation, "Information"), vbOK);

  ASSERT_EQ(script.Shown().size(), 3u);
  EXPECT_EQ(script.Shown()[0].text, "first?");
  EXPECT_EQ(script.Shown()[0].title, "Veltrix III");
  EXPECT_EQ(script.Shown()[0].style, vbYesNo);
  EXPECT_EQ(script.Shown()[0].result, vbYes);
  EXPECT_EQ(script.Shown()[2].style, vbOKOnly | vbInformation);
  EXPECT_EQ(script.CountWithText("second?"), 1);
  EXPECT_EQ(ButtonsText(script.Shown()[0].style), "Yes/No");
}

TEST(MessageBoxTest, SystemWithoutSinkAnswersSafely) {
  SimSystem system;
  EXPECT_EQ(system.MsgBox("Do you want to shut down your System?", vbYesNo, "Veltrix III"), vbNo);
  system.SetMessageBoxSink([](const std::string&, int, const std::string&) { return int{vbYes}; });
  EXPECT_EQ(system.MsgBox("again?", vbYesNo, "Veltrix III"), vbYes);
}

}  // namespace
}  // namespace veltrix::platform
