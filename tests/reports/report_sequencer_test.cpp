#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <string>
#include <vector>

#include "app_test_environment.h"
#include "reports/report_sequencer.h"

namespace {

struct EventLog {
  std::vector<std::string> log;
};

std::string Line(const char* what, int l, int t, int r, int b) {
  return std::string(what) + " " + std::to_string(l) + "," + std::to_string(t) + "," +
         std::to_string(r) + "," + std::to_string(b);
}

TEST(ReportSequencer, RaisesTheEventsOfEachPageAtTheirPositionsUntilFinished) {
  QImage page(600, 800, QImage::Format_RGB32);
  QPainter painter(&page);
  TReportSequencer sequencer;
  EventLog run;
  int linesLeft = 9;
  sequencer.OnNewPage = [&](QObject*) {
    run.log.push_back("page " + std::to_string(sequencer.PageNumber()));
  };
  sequencer.OnDrawHeader = [&](QObject*, int l, int t, int r, int b, int& used) {
    run.log.push_back(Line("header", l, t, r, b));
    used = 50;
  };
  sequencer.OnDrawReportBorder = [&](QObject*, QRect& area) {
    run.log.push_back(Line("border", area.left(), area.top(), area.left() + area.width(),
                           area.top() + area.height()));
    area = QRect(10, 60, 570, 700);  // right 580, bottom 760
  };
  sequencer.OnDrawLine = [&](QObject*, int l, int t, int r, int b, int& used) {
    run.log.push_back(Line("line", l, t, r, b));
    if (linesLeft-- > 0)
      used = 300;  // two lines fit from 60 (60, 360), the third (660) too, then the page ends
    else
      used = b;
  };
  sequencer.OnDrawFooter = [&](QObject*, int l, int t, int r, int b, int&) {
    run.log.push_back(Line("footer", l, t, r, b));
  };
  int pages = 0;
  sequencer.OnEndPage = [&](QObject*) {
    if (++pages == 2) sequencer.Finish();
  };
  sequencer.Execute(painter);

  const std::vector<std::string> onePage = {
      "header 0,0,600,800", "border 0,50,600,800", "line 10,60,580,760", "line 10,360,580,760",
      "line 10,660,580,760", "footer 0,760,600,800"};
  std::vector<std::string> expected = {"page 1"};
  expected.insert(expected.end(), onePage.begin(), onePage.end());
  expected.push_back("page 2");
  expected.insert(expected.end(), onePage.begin(), onePage.end());
  EXPECT_EQ(run.log, expected);
  EXPECT_EQ(sequencer.PageNumber(), 3);
  EXPECT_FALSE(sequencer.Printing());
}

TEST(ReportSequencer, ALineThatTakesNoRoomEndsThePageAndNoEndPageHandlerMeansOnePage) {
  QImage page(100, 100, QImage::Format_RGB32);
  QPainter painter(&page);
  TReportSequencer sequencer;
  int lines = 0;
  sequencer.OnDrawLine = [&](QObject*, int, int, int, int, int& used) {
    ++lines;
    used = 0;
  };
  sequencer.Execute(painter);
  EXPECT_EQ(lines, 1);
  EXPECT_EQ(sequencer.PageNumber(), 2);
}

TEST(ReportSequencer, AHandlersErrorEndsTheRunAndReachesTheCaller) {
  QImage page(100, 100, QImage::Format_RGB32);
  QPainter painter(&page);
  TReportSequencer sequencer;
  sequencer.OnDrawLine = [&](QObject*, int, int, int, int, int&) {
    throw std::runtime_error("broken");
  };
  EXPECT_THROW(sequencer.Execute(painter), std::runtime_error);
}

}  // namespace
