#!/usr/bin/env python3
"""Plants realistic faults in the game one at a time and records which tests catch each.

A fault is one exact piece of text in one file and what it becomes; it must
match exactly once. For each fault the script plants it, builds build/faults
incrementally, runs the tests there and puts the file back, whatever happens:
first the tests whose programs the build linked again, and when none of them
fails, the whole suite (some tests read sources or run a tool). A fault that
does not compile is reported as such, never as caught: mend the list. Run it
after changing the tests, to see that they still catch what they caught
before:

    scripts/planted_faults.py                 # every fault, the tests without e2e and package
    scripts/planted_faults.py --all-tests     # the end-to-end and package tests as well
    scripts/planted_faults.py --sanitizers    # the ASan and UBSan copies of the tests as well
    scripts/planted_faults.py --only keys-z   # one fault (or several)
    scripts/planted_faults.py --list          # the faults, checked against the code, nothing built
    scripts/planted_faults.py --out after.md --baseline before.md
                                              # the table into a file as well, row by row, and
                                              # the faults before.md had caught that are missed now

The sanitized copies of the rules tests run the same checks as the plain ones,
so a fault one catches the other catches too, unless it is a memory error
with no visible effect; leaving them out halves a run. Compare runs made with
the same options.

Exit status: 0 when every fault compiles and is caught, 1 otherwise.

The systematic mode measures the tests on faults nobody chose: it makes
mutants mechanically from every shipped source (scripts/mutants.py says how)
and plants a seeded sample of them, drawn uniformly from all of them:

    scripts/planted_faults.py --systematic --list             # mutants per folder and operator, and the sample
    scripts/planted_faults.py --systematic                    # 100 mutants, seed 1, without e2e and package
    scripts/planted_faults.py --systematic --seed 7 --sample 20 --out mutants.md
    scripts/planted_faults.py --systematic --only game/reveal.cpp:20:negate:7b346030
                                                              # one mutant again (the line may have moved)

Only the tests a mutant can reach run: after planting, the build's output
names the executables it linked again, and a test runs when its command uses
one of them (the replay tool counts, so the golden dumps run for the rules).
A mutant that makes an executable fail while it lists its tests is caught by
that executable, and one the compiler warns about is caught by the build, as
./test builds with warnings as errors. The end-to-end and package tests take
minutes a mutant, so they run only with --all-tests, only when the game
itself was linked again, and only for a mutant the other tests missed; a
mutant only they reach counts as survived in a run without them, and the
totals say how many there are. When three tests or fewer fail, they run once more and only those that
fail again count, so a test that fails now and then under load (the
end-to-end waits are timed) is no catch; a survivor's verdict names a test
that failed only once, which may also be a mutant reading past an array.
Each test may run five times as long as it did on the unplanted tree, at
least 30 s; one that takes longer is stopped, counts as caught (timed out)
and ends that mutant's run, so a mutant that hangs every test costs one
wait. After each mutant the file is put back and the tree built again, so
the next mutant's build shows only its own changes.

A survivor that cannot change what the game does is listed with a one-line
reason in scripts/equivalent_mutants.txt; the table marks it equivalent and
the score leaves it out. A mutant that does not compile is left out too.
The score is the caught share of the rest, and the exit status is 0 when it
reaches --target per cent (90 unless given) and, with --baseline, nothing
an earlier table caught survives now.
"""

import argparse
import collections
import hashlib
import json
import os
import pathlib
import random
import re
import shutil
import signal
import subprocess
import sys
import threading
import time
from contextlib import contextmanager

sys.dont_write_bytecode = True  # no __pycache__ beside the scripts in the source tree
import mutants  # noqa: E402

ROOT = pathlib.Path(__file__).resolve().parent.parent
BUILD = ROOT / "build" / "faults"


class Fault:
    def __init__(self, name, path, old, new, models):
        self.name, self.path, self.old, self.new, self.models = name, path, old, new, models


def F(name, path, old, new, models):
    return Fault(name, path, old, new, models)


# name, file, exact text, replacement, the mistake it models.
FAULTS = [
    # The rules: levels, dealing, moves.
    F("level-advanced-height", "game/level.cpp",
      "{99, 30, 16}", "{99, 30, 15}",
      "advanced board one row short"),
    F("level-beginner-bombs", "game/level.cpp",
      "{10, 8, 8}", "{11, 8, 8}",
      "beginner dealt one bomb too many"),
    F("layout-top-band", "game/level.cpp",
      "constexpr int kTopBand = 25;", "constexpr int kTopBand = 24;",
      "wrong layout constant: the band above the board a pixel short"),
    F("layout-left-from-height", "game/level.cpp",
      "8 * (16 - boardWidth)", "8 * (16 - boardHeight)",
      "swapped coordinate: a narrow board centred by its height"),
    F("layout-halves-away-from-zero", "game/level.cpp",
      "std::nearbyint(v)", "std::round(v)",
      "centring rounds halves away from zero instead of to even"),
    F("neighbours-diagonals-only", "game/neighbours.h",
      "if (step.dx != 0 || step.dy != 0)", "if (step.dx != 0 && step.dy != 0)",
      "neighbour table built with the wrong condition"),
    F("deal-column-by-height", "game/new_board.cpp",
      "random.Next()) * width", "random.Next()) * height",
      "swapped coordinate: the bomb's column drawn over the height"),
    F("deal-one-bomb-more", "game/new_board.cpp",
      "} while (placed < settings.BombCount);", "} while (placed <= settings.BombCount);",
      "off by one: one bomb too many"),
    F("deal-clock-runs-at-once", "game/new_board.cpp",
      "board.GameState = GamePhase::Waiting;", "board.GameState = GamePhase::Running;",
      "wrong phase: a new board's clock runs before the first move"),
    F("reveal-edge-inclusive", "game/reveal.cpp",
      "X < game.layout.boardWidth", "X <= game.layout.boardWidth",
      "off by one: the pixel past the surface's right edge counts as on it"),
    F("reveal-second-mark-stays", "game/reveal.cpp",
      "if (state == Cover::Covered || state == Cover::SecondMark) {", "if (state == Cover::Covered) {",
      "a second mark is not uncovered"),
    F("blast-outer-over-inner", "game/reveal.cpp",
      "} else if (blast && value != kInnerRubble) {", "} else if (blast) {",
      "outer rubble overwrites inner rubble"),
    F("blast-scorches-flagged-bomb", "game/reveal.cpp",
      "} else if (blast && value != kBomb && value != kInnerRubble) {", "} else if (blast && value != kInnerRubble) {",
      "a flagged bomb turns into rubble under a blast"),
    F("flag-count-not-raised", "game/reveal.cpp",
      "      state = Cover::SecondMark;\n      ++board.BombsLeft;\n", "      state = Cover::SecondMark;\n",
      "flag counted wrong: the bombs counter stays lowered after the second mark"),
    F("block-opens-marks", "game/reveal.cpp",
      "game.board.State(nx, ny) == Cover::Covered", "game.board.State(nx, ny) != Cover::Open",
      "the block uncovers flagged and marked cells"),
    F("win-record-on-custom", "game/reveal.cpp",
      "if (IsFixedLevel(game.gro.GameLevel)) game.outside->OfferRecord();", "game.outside->OfferRecord();",
      "records check after a custom win"),
    F("custom-bombs-end", "game/level.h",
      "kMostBombs = 256;", "kMostBombs = 255;",
      "off by one: the bombs bar ends at 255"),
    F("custom-width-end", "game/game_flow.cpp",
      "width = std::clamp(width, kMinBoardSide, kMaxBoardSide);",
      "width = std::clamp(width, kMinBoardSide, static_cast<int16_t>(kMaxBoardSide - 1));",
      "off by one: a custom board at most 31 wide"),

    # The effects, the frame loop and the counters.
    F("trigger-a-frame-late", "game/effects.cpp",
      "if (record.Phase == kTriggerPhase) {", "if (record.Phase == kTriggerPhase + 1) {",
      "a trigger firing a frame late"),
    F("effect-last-frame-skipped", "game/effects.cpp",
      "} else if (record.Phase == frames + 1) {", "} else if (record.Phase == frames) {",
      "off by one: an effect's last frame never drawn"),
    F("flash-row-from-x", "game/effects.cpp",
      "const int cy = (record.Y + kOpenOffset) / kCellSize;", "const int cy = (record.X + kOpenOffset) / kCellSize;",
      "swapped coordinate: a flash fires around the wrong row"),
    F("spawn-y-from-x", "game/effects.cpp",
      "static_cast<int16_t>(kCellSize * y - offset)", "static_cast<int16_t>(kCellSize * x - offset)",
      "swapped coordinate: an effect's sprite placed by its column twice"),
    F("blast-ring-short", "game/effects.cpp",
      "for (int k = -1; k <= 1; ++k) {", "for (int k = -1; k < 1; ++k) {",
      "off by one in the outer ring's loop"),
    F("explosion-open-cue", "game/effects.cpp",
      "outside.PlaySound(SoundCue::Explosion);", "outside.PlaySound(SoundCue::Open);",
      "an explosion plays the opening cue"),
    F("pools-walked-backwards", "game/effects.cpp",
      "  Walk(game, canvas, game.effects.OpenEffects, EffectKind::Open, kOpenFrames, FireOpenTrigger);\n"
      "  Walk(game, canvas, game.effects.Explosions, EffectKind::Explosion, kExplosionFrames, FireExplosionTrigger);\n",
      "  Walk(game, canvas, game.effects.Explosions, EffectKind::Explosion, kExplosionFrames, FireExplosionTrigger);\n"
      "  Walk(game, canvas, game.effects.OpenEffects, EffectKind::Open, kOpenFrames, FireOpenTrigger);\n",
      "explosions drawn and fired before the flashes"),
    F("marker-column-from-y", "render/frame.cpp",
      "game.pointer.CellX() * kCellSize", "game.pointer.CellY() * kCellSize",
      "swapped coordinate: the marker's column from the pointer's row"),
    F("marker-on-dark-frames", "render/frame.cpp",
      "if (game.loop.CursorBlink == 1) canvas.DrawMarker(gx, gy);", "if (game.loop.CursorBlink == 0) canvas.DrawMarker(gx, gy);",
      "the marker blinks out of step"),
    F("counters-a-frame-behind", "render/frame.cpp",
      "    ++game.gro.ElapsedTime;\n    UpdateCounters(game.gro, game.board, *game.outside);\n", "    UpdateCounters(game.gro, game.board, *game.outside);\n    ++game.gro.ElapsedTime;\n",
      "the counter strip shows the clock a frame late"),
    F("frame-at-33-ms", "render/frame.cpp",
      "if (now - game.loop.LastFrameTime <= kFramePeriodMs) return false;",
      "if (now - game.loop.LastFrameTime < kFramePeriodMs) return false;",
      "off by one: a frame after exactly 33 ms"),
    F("time-hundredths-alone-dropped", "game/play_clock.cpp",
      "if (fraction != 0) {", "if (fraction >= 10) {",
      "a time a few hundredths past the second shows the whole seconds only"),
    F("bombs-text-width", "game/counters.cpp",
      "PadAndCut(std::to_string(bombsLeft), \"   \", 3)", "PadAndCut(std::to_string(bombsLeft), \"   \", 2)",
      "wrong padding of the bombs counter"),
    F("time-rounded", "game/play_clock.h",
      "std::floor(static_cast<double>(frames) / 30.0 * 100.0)", "std::round(static_cast<double>(frames) / 30.0 * 100.0)",
      "play clock rounded instead of cut"),

    # The input: mouse, keys, Qt's key and button codes.
    F("press-halves-away", "input/mouse.cpp",
      "const float rounded = std::nearbyint(v);", "const float rounded = std::round(v);",
      "a press position rounded half away from zero"),
    F("dblclick-any-left-chord", "input/mouse.cpp",
      "if (game.pointer.LastButton != kLeftButton) return;", "if ((game.pointer.LastButton & kLeftButton) == 0) return;",
      "double click accepted after a chord with the left button"),
    F("dblclick-row-by-row", "input/mouse.cpp",
      "  for (int x = 0; x < game.gro.BoardWidth; ++x) {\n    for (int y = 0; y < game.gro.BoardHeight; ++y) {",
      "  for (int y = 0; y < game.gro.BoardHeight; ++y) {\n    for (int x = 0; x < game.gro.BoardWidth; ++x) {",
      "marked cells opened row by row instead of column by column"),
    F("ctrl-any-modifiers", "input/keyboard.cpp",
      "if (shift == kCtrlKey) {", "if (shift & kCtrlKey) {",
      "Ctrl+Shift+A inverts the marks instead of toggling one"),
    F("invert-seven-cues", "input/keyboard.cpp",
      "for (int i = 0; i < 8; ++i)", "for (int i = 0; i < 7; ++i)",
      "off by one: the mark cue played seven times"),
    F("arrow-past-the-edge", "input/keyboard.cpp",
      "cx = std::clamp(cx, 0, width - 1);", "cx = std::clamp(cx, 0, width);",
      "off by one: the right arrow steps off the board"),
    F("arrow-up-goes-down", "input/keyboard.cpp",
      "    case kKeyUp:\n      MoveSelection(game.pointer, game.loop, game.gro, 0, -1);", "    case kKeyUp:\n      MoveSelection(game.pointer, game.loop, game.gro, 0, 1);",
      "the up arrow moves down"),
    F("enter-uncovers", "input/keyboard.cpp",
      "    case kKeyEnter:\n    case kKeyC:\n      ButtonAtPointer(game, kRightButton);\n      break;\n"
      "    case kKeyEscape:\n",
      "    case kKeyC:\n      ButtonAtPointer(game, kRightButton);\n      break;\n"
      "    case kKeyEnter:\n    case kKeyEscape:\n",
      "Enter plays the left button instead of the right"),
    F("key-z-lower-case", "input/keyboard.h",
      "kKeyZ = 90;", "kKeyZ = 122;",
      "the game's own code for Z changed to its lower-case letter"),
    F("qt-keys-z-x-swapped", "input/virtual_keys.cpp",
      "    case Qt::Key_X:\n      return kKeyX;\n    case Qt::Key_Z:\n      return kKeyZ;",
      "    case Qt::Key_X:\n      return kKeyZ;\n    case Qt::Key_Z:\n      return kKeyX;",
      "wrong key code: Qt's Z and X swapped"),
    F("qt-key-space-unmapped", "input/virtual_keys.cpp",
      "    case Qt::Key_Space:\n      return kKeySpace;\n", "",
      "wrong key code: Space leads nowhere"),
    F("qt-ctrl-as-alt", "input/virtual_keys.cpp",
      "if (modifiers & Qt::ControlModifier) sum |= 2;", "if (modifiers & Qt::ControlModifier) sum |= 4;",
      "Ctrl counted as Alt"),
    F("qt-right-as-middle", "input/virtual_keys.cpp",
      "if (buttons & Qt::RightButton) sum |= kRightButton;", "if (buttons & Qt::RightButton) sum |= kMiddleButton;",
      "the right button counted as the middle one"),
    F("keys-taken-twice", "game/form1.cpp",
      "  if (widget != first) return false;\n", "",
      "a key reaches the game once for every widget it passes"),
    F("accelerators-f2-f3-swapped", "game/form1.cpp",
      "{Qt::Key_F1, Qt::Key_F2, Qt::Key_F3, Qt::Key_F4}", "{Qt::Key_F1, Qt::Key_F3, Qt::Key_F2, Qt::Key_F4}",
      "F2 and F3 swapped"),

    # The windows and dialogs.
    F("face-double-click-deals-twice", "render/picture_surface.cpp",
      "void FaceButton::mouseDoubleClickEvent(QMouseEvent*) {}",
      "void FaceButton::mouseDoubleClickEvent(QMouseEvent* event) { mousePressEvent(event); }",
      "the face button's double click deals a second board"),
    F("custom-width-bar-end", "dialogs/custom_board_dialog.cpp",
      "QColor(255, 128, 128), kMinBoardSide, kMaxBoardSide, 4}",
      "QColor(255, 128, 128), kMinBoardSide, kMaxBoardSide - 1, 4}",
      "a dialog's range off by one: the width bar ends at 31"),
    F("custom-height-bar-start", "dialogs/custom_board_dialog.cpp",
      "QColor(128, 255, 128), kMinBoardSide, kMaxBoardSide, 4}",
      "QColor(128, 255, 128), kMinBoardSide + 1, kMaxBoardSide, 4}",
      "a dialog's range off by one: the height bar starts at 3"),
    F("custom-bombs-end-by-width", "dialogs/custom_board_dialog.cpp",
      "bars_[2]->setMaximum(MaxCustomBombs(width, height));", "bars_[2]->setMaximum(MaxCustomBombs(width, width));",
      "the bombs bar's end follows the width twice"),
    F("centre-by-width", "ui/placement.cpp",
      "QPoint(frame.width() / 2, frame.height() / 2)", "QPoint(frame.width() / 2, frame.width() / 2)",
      "a dialog centred with the wrong dimension"),
    F("kept-within-by-height", "ui/placement.cpp",
      "area.left() + area.width() - frame.width()", "area.left() + area.height() - frame.width()",
      "a window kept on the screen by the wrong dimension"),
    F("modal-leaves-window-inactive", "game/form1.cpp",
      "  dialog.exec();\n  activateWindow();\n", "  dialog.exec();\n",
      "the main window is not active again after a dialog"),
    F("records-caption-of-five", "records/records_dialog.cpp",
      "random.Next()) * 6.0)", "random.Next()) * 5.0)",
      "the records dialog's caption drawn from five of six"),
    F("key-guard-repeats-pass", "ui/opening_key_guard.cpp",
      "key->isAutoRepeat() ? pressedHere_.contains(key->key()) :", "key->isAutoRepeat() ? true :",
      "a key held from the game repeats into the dialog"),
    F("key-guard-quiet-exclusive", "ui/opening_key_guard.cpp",
      "Now() - shownAt_ >= kQuietTime", "Now() - shownAt_ > kQuietTime",
      "off by one: a press exactly 400 ms after the dialog opened dropped"),
    F("new-record-escape-closes", "records/new_record_dialog.cpp",
      "if (event->matches(QKeySequence::Cancel)) {", "if (false) {",
      "Escape closes the new-record dialog"),
    F("oom-wrong-exception", "desktop/out_of_memory.cpp",
      "  } catch (const std::bad_alloc&) {", "  } catch (const std::bad_array_new_length&) {",
      "the wrong exception caught: a failed allocation leaves the handler and aborts"),
    F("cli-arguments-accepted", "desktop/command_line.cpp",
      "} else if (!parser.positionalArguments().isEmpty()) {", "} else if (false) {",
      "a stray argument starts the game (caught with --all-tests)"),
    F("cli-help-on-stderr", "desktop/command_line.cpp",
      "    Print(stdout, usage);", "    Print(stderr, usage);",
      "--help printed on stderr (caught with --all-tests)"),

    # The zoom: input, layout, the picture shown, the dialogs, the settings file.
    F("zoom-press-not-divided", "render/picture_surface.cpp",
      "void BoardSurface::mousePressEvent(QMouseEvent* event) {\n  const QPointF p = event->position() / zoom();",
      "void BoardSurface::mousePressEvent(QMouseEvent* event) {\n  const QPointF p = event->position();",
      "a press reaches the rules in window pixels, not divided by the zoom"),
    F("zoom-move-not-divided", "render/picture_surface.cpp",
      "void BoardSurface::mouseMoveEvent(QMouseEvent* event) {\n  const QPointF p = event->position() / zoom();",
      "void BoardSurface::mouseMoveEvent(QMouseEvent* event) {\n  const QPointF p = event->position();",
      "a move reaches the rules in window pixels, not divided by the zoom"),
    F("zoom-board-left-twice", "game/form1.cpp",
      "picture1_->setGeometry(l.boardLeft * k,", "picture1_->setGeometry(l.boardLeft * k * k,",
      "the zoom applied twice to the board's place"),
    F("zoom-changed-rect-unscaled", "render/zoomed_picture.cpp",
      "return {left * zoom_, top * zoom_,", "return {left, top,",
      "the changed rectangle given in the board's pixels, not the window's"),
    F("zoom-block-row-short", "render/zoomed_picture.cpp",
      "for (int k = 1; k < zoom; ++k) std::memcpy", "for (int k = 2; k < zoom; ++k) std::memcpy",
      "off by one: the last row of each block left as it was"),
    F("zoom-fits-by-width", "game/form1.cpp",
      "wanted.height() <= area.height()", "wanted.height() <= area.width()",
      "a zoom fits the screen by the wrong dimension"),
    F("zoom-counter-text-unzoomed", "render/counter_strip.cpp",
      "font_ = DesignFont(kGothic, 12, false, zoom);", "font_ = DesignFont(kGothic, 12, false, 1);",
      "the counters' text drawn at its size at zoom 1"),
    F("zoom-twips-unzoomed", "ui/twips.h",
      "twips * Zoom() / kTwipsPerPixel", "twips / kTwipsPerPixel",
      "the dialogs keep their size at every zoom"),
    F("zoom-setting-zero", "ui/settings_file.cpp",
      "value[0] < '0' + kMinZoom", "value[0] < '0'",
      "a settings file's zoom of 0 accepted"),

    # The records: file format, code page, atomic save, check and save.
    F("records-bare-lf", "records/records_file.cpp",
      "bytes += \"\\r\\n\";", "bytes += \"\\n\";",
      "lines ended by LF alone"),
    F("records-last-line-needs-end", "records/records_file.cpp",
      "if (i + 1 < records.size()) {", "if (i < records.size()) {",
      "a last line that ends the file is refused"),
    F("records-name-to-first-quote", "records/records_file.cpp",
      "const size_t closing = line.rfind('\"');", "const size_t closing = line.find('\"', 1);",
      "a name ends at its first quote"),
    F("records-plus-accepted", "records/records_file.cpp",
      "if (rest.empty() || rest.front() == '+') {", "if (rest.empty()) {",
      "a time with an explicit plus sign accepted"),
    F("records-line-break-lengths", "records/records_file.cpp",
      "i += rest[0] == '\\xC2' ? 1 : 2;", "i += rest[0] == '\\xC2' ? 2 : 1;",
      "the byte lengths of Unicode line breaks swapped"),
    F("cp932-as-shift-jis", "records/cp932.cpp",
      "constexpr const char* kCodePage = \"CP932\";", "constexpr const char* kCodePage = \"SHIFT_JIS\";",
      "wrong code page table: ～ goes to another character"),
    F("cp932-overlong-accepted", "records/cp932.cpp",
      "length = 2, minimum = 0x80,", "length = 2, minimum = 0,",
      "an overlong UTF-8 sequence taken as one character"),
    F("cp932-trail-byte-range", "records/cp932.cpp",
      "return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);",
      "return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFF);",
      "wrong byte in the code page's trail byte range"),
    F("save-drops-fsync", "records/player_file.cpp",
      "WriteAll(fd_, bytes.data(), bytes.size()) && ::fsync(fd_) == 0;", "WriteAll(fd_, bytes.data(), bytes.size());",
      "a dropped fsync: the new file may not be on the disk when it replaces the old"),
    F("save-drops-directory-fsync", "records/player_file.cpp",
      "  ::fsync(directory);\n", "",
      "a dropped fsync: the rename may not be on the disk"),
    F("save-keeps-no-mode", "records/player_file.cpp",
      "return ::fchmod(fd, old.st_mode & 07777) == 0;", "return true;",
      "the replaced file loses its mode"),
    F("stale-temporaries-kept", "records/player_file.cpp",
      "if (::kill(pid, 0) != 0 && errno == ESRCH)", "if (::kill(pid, 0) != 0 && errno == EPERM)",
      "temporary files of dead games are never removed"),
    F("in-place-no-truncate", "records/player_file.cpp",
      " || ::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0", "",
      "a file written in place keeps the old file's tail"),
    F("backups-not-moved-up", "records/player_file.cpp",
      "S_ISREG(status.st_mode) &&\n        ::rename(", "S_ISREG(status.st_mode) && false &&\n        ::rename(",
      "a dropped rename: older backups are overwritten, not moved up"),
    F("backups-stop-at-a-folder", "records/player_file.cpp",
      "if (!taken || S_ISREG(status.st_mode) || S_ISLNK(status.st_mode)) names.push_back(number);",
      "if (!taken || S_ISREG(status.st_mode) || S_ISLNK(status.st_mode)) names.push_back(number); else break;",
      "a backup name taken by a folder ends the rotation"),
    F("planted-link-followed", "records/player_file.cpp",
      "if (!LinkMayBeFollowed(current, status)) return std::nullopt;",
      "if (!LinkMayBeFollowed(current, status) && false) return std::nullopt;",
      "a link someone else planted is followed"),
    F("dangling-link-replaced", "records/player_file.cpp",
      "if (::lstat(current.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return current;",
      "if (::stat(current.c_str(), &status) != 0 || ::lstat(current.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return current;",
      "a link to a missing file is replaced by a plain file"),
    F("swap-without-check", "records/player_file.cpp",
      "out.status == FileRead::Status::kRead && out.bytes == expectedBytes;",
      "out.status == FileRead::Status::kRead;",
      "the file swapped out is not checked to be the one read: another game's save is lost"),
    F("held-file-dropped", "records/player_file.cpp",
      "    if (!changed.bytes && holding) changed.bytes = found.bytes;\n", "",
      "another game's file swapped out is dropped when this game's change is in it already"),
    F("record-on-equal-time", "records/check_record.cpp",
      ".time > elapsedTime &&", ".time >= elapsedTime &&",
      "an equal time counts as a record"),
    F("record-asked-where-unsaveable", "records/check_record.cpp",
      " && CanWritePlayerFile(file);", ";",
      "a record asked for where it cannot be saved"),
    F("slower-time-saved", "records/check_record.cpp",
      "if (better && line.time > better->time) line = *better;", "if (better) line = *better;",
      "a time beaten meanwhile by another game is saved over the better one"),
    F("check-waits-for-lock", "records/check_record.cpp",
      "ChangeRecords(file, std::nullopt, gameLevel, /*wait=*/false);", "ChangeRecords(file, std::nullopt, gameLevel, /*wait=*/true);",
      "the records check waits for another game's lock in the middle of a frame"),
    F("record-time-trailing-zero", "game/play_clock.cpp",
      "    if (fraction % 10 != 0) text += static_cast<char>('0' + fraction % 10);\n",
      "    text += static_cast<char>('0' + fraction % 10);\n",
      "record time keeps a trailing zero"),
    F("failed-save-forgotten", "records/record_keeper.cpp",
      "      failing_ = true;\n      continue;", "      failing_ = true;",
      "a record that could not be saved is dropped instead of kept for the next save"),
    F("failure-told-every-time", "records/record_keeper.cpp",
      "if (report && !failing_ && report_)", "if (report && report_)",
      "the player is told of every failed save, not once"),

    # The sound: the parser, the voices, the cues and their resources.
    F("wave-no-pad-byte", "sound/wave_image.cpp",
      "if (bodySize % 2 != 0 && pos < image.size()) ++pos;", "",
      "the pad byte after an odd chunk not skipped"),
    F("wave-byte-rate-unchecked", "sound/wave_image.cpp",
      "  if (byteRate != format.sampleRate * blockAlign) return std::nullopt;\n", "",
      "an inconsistent byte rate accepted"),
    F("wave-half-frames-kept", "sound/wave_image.cpp",
      "bodySize - bodySize % format->BlockAlign()", "bodySize",
      "half a sample frame kept at the end"),
    F("wave-le16-wrong-byte", "sound/wave_image.cpp",
      "static_cast<uint16_t>(p[0] | (p[1] << 8))", "static_cast<uint16_t>(p[0] | (p[0] << 8))",
      "wrong byte read for a 16-bit field"),
    F("riff-length-without-header", "sound/wave_image.cpp",
      "std::size_t{ReadLe32(header.data() + 4)} + kRiffHeaderBytes", "std::size_t{ReadLe32(header.data() + 4)}",
      "the RIFF length taken without its 8 header bytes"),
    F("voice-newest-cut", "sound/voice_picker.cpp",
      "voices[i].startedAt < voices[oldest].startedAt", "voices[i].startedAt > voices[oldest].startedAt",
      "wrong voice choice: the newest play is cut off"),
    F("lockstep-volume-linear", "sound/voice_picker.cpp",
      "fullVolume / std::sqrt(static_cast<double>(voicesInStep))", "fullVolume / static_cast<double>(voicesInStep)",
      "copies in step turned down by n instead of its square root"),
    F("voices-one-short", "sound/sdl_sound_library.cpp",
      "std::clamp(count, int32_t{1}, kMaxVoicesPerSlot)", "std::clamp(count - 1, int32_t{1}, kMaxVoicesPerSlot)",
      "off by one: a slot gets one voice fewer than asked"),
    F("cue-resources-swapped", "sound/load_sounds.cpp",
      "{SoundCue::Open, 101}, {SoundCue::Explosion, 102}", "{SoundCue::Open, 102}, {SoundCue::Explosion, 101}",
      "a swapped sound resource: the opening cue plays the explosion"),
    F("asset-aliases-swapped", "assets/CMakeLists.txt",
      "  open.wav:WAVE/101\n  explosion.wav:WAVE/102\n", "  open.wav:WAVE/102\n  explosion.wav:WAVE/101\n",
      "a swapped sound resource: the files under each other's numbers"),

    # The replay tool.
    F("replay-frames-per-event-only", "runs/scenario.cpp",
      "  frames.left -= event.count;\n", "",
      "the frame cap counts each event on its own, not the whole scenario"),
    F("replay-level-three", "runs/scenario.cpp",
      "  if (level == 3) place.Fail(\"level must be 0, 1, 2 or 4\");\n", "",
      "level 3 accepted"),
    F("replay-random-one", "runs/scenario.cpp",
      "if (!(r >= 0.0f && r < 1.0f))", "if (!(r >= 0.0f && r <= 1.0f))",
      "a random value of 1 accepted"),
    F("replay-bomb-row-by-width", "runs/scenario_steps.cpp",
      "if (x >= width || y >= height) {", "if (x >= width || y >= width) {",
      "swapped coordinate: a bomb's row checked against the width"),
    F("replay-press-edge-inclusive", "runs/scenario_steps.cpp",
      "x < l.boardWidth && y >= 0", "x <= l.boardWidth && y >= 0",
      "off by one: a press on the pixel past the surface accepted"),
    F("replay-dump-pointer-swapped", "tools/replay/state_line.cpp",
      "  w.Key(\"PointerX\");\n  w.Int(game.pointer.PointerX);", "  w.Key(\"PointerX\");\n  w.Int(game.pointer.PointerY);",
      "swapped coordinate in the dump"),
    F("replay-effect-kinds-swapped", "tools/replay/recorder.cpp",
      "kind == EffectKind::Open ? 'O' : 'E'", "kind == EffectKind::Open ? 'E' : 'O'",
      "the dump names flashes as explosions"),
    F("replay-seed-wraps", "runs/scenario.cpp",
      "\"seed\", 0, std::numeric_limits<uint32_t>::max()", "\"seed\", 0, std::numeric_limits<int64_t>::max()",
      "a seed past 32 bits taken modulo 2^32"),
    F("replay-deep-nesting-unchecked", "runs/scenario.cpp",
      "if (shape.nesting > kMaxNesting) {", "if (false) {",
      "deep nesting not refused before parsing"),
    # The statistics: 3BV, counting, the file, the dialog.
    F("3bv-region-past-the-board", "game/board_3bv.cpp",
      "if (!settings.OnBoard(nx, ny) || opened", "if (!Board::InArrays(nx, ny) || opened",
      "wrong 3BV neighbour: a region runs on through the cells past the board's edge"),
    F("3bv-numbers-carry-the-region", "game/board_3bv.cpp",
      "if (value(nx, ny) == 0) stack", "if (value(nx, ny) <= 8) stack",
      "the flood of the count goes on through numbered cells"),
    F("3bv-lone-numbers-forgotten", "game/board_3bv.cpp",
      "if (value(x, y) <= 8 && !opened", "if (value(x, y) == 0 && !opened",
      "numbers that no region opens are not counted"),
    F("stats-streak-kept-on-loss", "records/statistics_file.cpp",
      "Add(level.lost, 1);\n      level.streak = 0;", "Add(level.lost, 1);",
      "a loss does not end the winning streak"),
    F("stats-best-time-slowest", "records/statistics_file.cpp",
      "std::min(level.bestFrames.value_or(frames), frames)", "std::max(level.bestFrames.value_or(frames), frames)",
      "the best time kept is the slowest"),
    F("stats-best-time-range", "records/statistics_file.cpp",
      "\"best_frames\", std::numeric_limits<int32_t>::max()", "\"best_frames\", kMaxStatisticsCount",
      "a best time too large for the play clock read from the file"),
    F("stats-damaged-file-overwritten", "records/statistics_file.cpp",
      "!statistics && found.status != FileRead::Status::kMissing",
      "!statistics && found.status == FileRead::Status::kTooLarge",
      "a damaged statistics file is overwritten instead of set aside"),
    F("stats-abandoned-not-counted", "records/statistics_keeper.cpp",
      "case GameMoment::BoardDealt:\n      Count(GameOutcome::Abandoned);\n      break;",
      "case GameMoment::BoardDealt:\n      break;",
      "a game left for a new board is not counted"),
    F("stats-exit-mid-game-not-counted", "records/statistics_keeper.cpp",
      "int StatisticsKeeper::Finish() {\n  Count(GameOutcome::Abandoned);", "int StatisticsKeeper::Finish() {",
      "a game running when the program ends is not counted"),
    F("stats-outcome-counted-twice", "records/statistics_keeper.cpp",
      "*std::exchange(underWay_, std::nullopt)", "*underWay_",
      "a game's outcome counted again by what happens after it"),
    F("stats-failed-write-forgotten", "records/statistics_keeper.cpp",
      "if (AddToStatistics(file_, games, clear).outcome == WriteResult::Outcome::kFailed) return;",
      "AddToStatistics(file_, games, clear);",
      "games that could not be written are dropped"),
    F("stats-clock-start-not-told", "game/reveal.cpp",
      "    game.outside->NoteGame(GameMoment::Started);\n", "",
      "the rules never say a game has started"),
    F("stats-clear-without-asking", "records/statistics_dialog.cpp",
      "  question.exec();\n", "  if (clearStatistics_) clearStatistics_();\n  question.exec();\n",
      "the statistics are cleared before the answer"),
    F("stats-mean-over-played", "records/statistics_dialog.cpp",
      "l.wonFrames / l.won", "l.wonFrames / l.played",
      "the mean winning time divided by the games played"),

    # Runs: the game kept as a run, checked, saved with its record, watched.
    F("run-frame-counted-after", "runs/game_runs.cpp",
      "    recorder_.Frame();\n    porteka::LoopTurn(game_, canvas, now);\n",
      "    porteka::LoopTurn(game_, canvas, now);\n    recorder_.Frame();\n",
      "off by one: the frame under way at a win is not yet in the run"),
    F("run-inherited-blink-forgotten", "runs/run_recorder.cpp",
      "if (game.loop.CursorBlink != 0) pendingFrames_ = 1;", "",
      "the marker's blink the board inherits is not made the same in the replay"),
    F("run-wait-cut-odd", "runs/run_recorder.cpp",
      "pendingFrames_ > kLongestWait) pendingFrames_ -= 2;", "pendingFrames_ > kLongestWait) pendingFrames_ -= 1;",
      "the cut wait loses the blink's parity"),
    F("run-first-hover-dropped", "runs/run_recorder.cpp",
      "game.board.GameState != GamePhase::Waiting && button == replayButtons_",
      "button == replayButtons_",
      "a move that starts the clock counted as changing nothing"),
    F("run-cap-at-the-edge", "runs/run_recorder.cpp",
      "if (steps_.size() + 3 > replay::kMaxEvents) {", "if (steps_.size() > replay::kMaxEvents) {",
      "off by one: a run kept past the replay tool's events, which it then refuses"),
    F("run-lost-at-the-time", "runs/run_check.cpp",
      " &&\n         std::find(end.recordChecks.begin(), end.recordChecks.end(), record) != end.recordChecks.end();",
      ";",
      "a run offered that ends at the record's time and level, but lost"),
    F("run-saved-for-a-beaten-record", "records/run_files.cpp",
      " || records.records[static_cast<size_t>(level)].time != time", "",
      "a run written over the run of a record that beat it meanwhile"),
    F("watch-hover-reaches-the-rules", "runs/game_runs.cpp",
      "void GameRuns::MouseMove(int16_t button, float x, float y) {\n  if (watch_) return;\n",
      "void GameRuns::MouseMove(int16_t button, float x, float y) {\n",
      "input reaches the rules while a run is watched"),
    F("watch-menu-choice-acts", "game/form1.cpp",
      "  if (runs_.Stop()) return;\n  if (IsFixedLevel(level)) {", "  runs_.Stop();\n  if (IsFixedLevel(level)) {",
      "a menu choice that stops a run also deals its own board"),
    F("watch-33-ms-a-frame", "runs/game_runs.cpp",
      "(frame * 1000 + 29) / 30", "frame * 33",
      "a run watched at 33 ms a frame, faster than it was played"),
    F("sound-start-waits-for-the-server", "sound/sdl_sound_library.cpp",
      "wait_for(lock, kStartWait, ", "wait(lock, ",
      "start-up waits for a sound server that never answers"),
    F("new-record-time-under-its-caption", "records/new_record_dialog.cpp",
      "TwipsRect(1695, 120, 1140, 255)", "TwipsRect(1560, 120, 855, 255)",
      "the time label runs under \"タイム\" and is too narrow for a long time"),
    F("art-drawn-but-not-committed", "tools/art/open_flash.cpp",
      "kRadius = {9, 13,", "kRadius = {10, 13,",
      "the flash's generator changed without the committed art drawn again"),
]


def run(command, **kwargs):
    return subprocess.run(command, cwd=kwargs.pop("cwd", ROOT), stdout=subprocess.PIPE,
                          stderr=subprocess.STDOUT, text=True, **kwargs)


def check(faults):
    """Every fault must match exactly once, and names must be unique; returns the problems."""
    problems = []
    names = [fault.name for fault in faults]
    problems += [f"{name}: named twice" for name in sorted({n for n in names if names.count(n) > 1})]
    for fault in faults:
        text = (ROOT / fault.path).read_text(encoding="utf-8")
        count = text.count(fault.old)
        if count != 1:
            problems.append(f"{fault.name}: its text occurs {count} times in {fault.path}")
    return problems


def configure(sanitizers):
    # Every fault builds its files twice (planted, then put back); where ccache
    # is installed, the second build of each file comes from its cache.
    launcher = shutil.which("ccache")
    result = run(["cmake", "-S", str(ROOT), "-B", str(BUILD), "-G", "Ninja",
                  "-DCMAKE_BUILD_TYPE=RelWithDebInfo", "-DPORTEKA_BENCH=OFF",
                  f"-DCMAKE_CXX_COMPILER_LAUNCHER={launcher or ''}",
                  f"-DPORTEKA_SANITIZE={'ON' if sanitizers else 'OFF'}"])
    if result.returncode != 0:
        sys.exit("configure failed:\n" + result.stdout)


# What is planted right now, kept beside the build so that a run killed
# outright (SIGKILL, a power cut) puts the file back when the script next starts.
JOURNAL = BUILD / "planted"


def restore_leftover():
    """Puts back a file a killed run left planted, unless someone has edited it since."""
    where = JOURNAL / "where"
    if not where.exists():
        return
    relative, planted_hash = where.read_text(encoding="utf-8").split("\n")[:2]
    path = ROOT / relative
    unplanted = (JOURNAL / "unplanted").read_bytes()
    current = path.read_bytes() if path.exists() else b""
    if current != unplanted:
        if hashlib.sha1(current).hexdigest() != planted_hash:
            sys.exit(f"{relative} was left planted by a killed run and has been edited since; "
                     f"its unplanted text is in {JOURNAL / 'unplanted'}: mend it, then remove {JOURNAL}")
        path.write_bytes(unplanted)
        print(f"put back {relative}, left planted by a killed run", flush=True)
    where.unlink()


@contextmanager
def planted(relative, text):
    """The file holds text inside the block and its own bytes again after it,
    whatever happens: an exception, Ctrl+C, SIGTERM or SIGHUP (see main)."""
    path = ROOT / relative
    untouched = path.read_bytes()
    JOURNAL.mkdir(parents=True, exist_ok=True)
    (JOURNAL / "unplanted").write_bytes(untouched)
    (JOURNAL / "where").write_text(f"{relative}\n{hashlib.sha1(text).hexdigest()}\n", encoding="utf-8")
    try:
        path.write_bytes(text)
        yield
    finally:
        # With a new time stamp, so the next build compiles it again.
        path.write_bytes(untouched)
        (JOURNAL / "where").unlink()


# A planted fault can make a test loop for ever, and a test's own TIMEOUT
# (the fuzz feed allows minutes) outranks ctest's --timeout: every test
# process still running after this many seconds is stopped, which CTest
# counts as a failure, so the hang shows as caught.
TEST_SECONDS = 120


def children_of(pid):
    """The processes pid started, from every one of its threads."""
    children = []
    for task in pathlib.Path(f"/proc/{pid}/task").glob("*"):
        try:
            children += (task / "children").read_text().split()
        except OSError:
            pass
    return children


def age_of(pid):
    """Seconds since the process started, or None when it is gone."""
    ticks = os.sysconf("SC_CLK_TCK")
    uptime = float(pathlib.Path("/proc/uptime").read_text().split()[0])
    try:
        started = int(pathlib.Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()[19]) / ticks
    except (OSError, ValueError, IndexError):
        return None
    return uptime - started


def kill_tree(pid):
    """Kills the process with whatever it started in turn (a CMake script runs the replay tool)."""
    tree, i = [pid], 0
    while i < len(tree):
        tree += children_of(tree[i])
        i += 1
    for doomed in reversed(tree):
        try:
            os.kill(int(doomed), signal.SIGKILL)
        except OSError:
            pass


def stop_tests_running_too_long(ctest_pid):
    """Kills the test processes CTest started more than TEST_SECONDS ago."""
    for pid in children_of(ctest_pid):
        age = age_of(pid)
        if age is not None and age > TEST_SECONDS:
            kill_tree(pid)


def failing_tests(all_tests, jobs):
    """Runs CTest; the names of the tests that failed."""
    log = BUILD / "Testing" / "Temporary" / "LastTestsFailed.log"
    if log.exists():
        log.unlink()
    command = ["ctest", "-j", str(jobs), "--timeout", str(TEST_SECONDS)]
    if not all_tests:
        command += ["-LE", "e2e|package"]
    ctest = subprocess.Popen(command, cwd=BUILD, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    while ctest.poll() is None:
        stop_tests_running_too_long(ctest.pid)
        time.sleep(1)
    if not log.exists():
        return []
    return sorted(line.split(":", 1)[1] for line in log.read_text().splitlines() if ":" in line)


def plant(fault, tests, limits, args):
    """Plants the fault, builds, runs the tests, puts the file back. The tests
    whose programs were linked again go first; only when none of them fails
    does the whole suite run, for the tests that read sources or run a tool."""
    untouched = (ROOT / fault.path).read_bytes()
    with planted(fault.path, untouched.replace(fault.old.encode(), fault.new.encode(), 1)):
        built, output = build_with_output(args.jobs)
        if not built:
            return None
        direct, _ = reaching(tests, linked_executables(output))
        failed = repeated_failures(direct, limits, args.jobs)[0] if direct else []
        return failed or failing_tests(args.all_tests, args.jobs)


NOT_COMPILING = "DOES NOT COMPILE"
WARNED = "the compiler's warnings"
MISSED = "MISSED"


def read_table(path):
    """A table this script wrote: fault name -> what caught it."""
    verdicts = {}
    for line in path.read_text(encoding="utf-8").splitlines():
        cells = [cell.strip() for cell in line.strip().strip("|").split("|")]
        if len(cells) == 4 and cells[0] not in ("fault", "---"):
            verdicts[cells[0]] = cells[3]
    return verdicts


# The systematic mode.

NOTES = ROOT / "scripts" / "equivalent_mutants.txt"
TIMEOUT_FLOOR = 30
TIMEOUT_FACTOR = 5
SHOWN_CATCHERS = 4
RUN_AGAIN_AT_MOST = 3
GAME = os.path.normpath(BUILD / "porteka")
LINKED = re.compile(r"Linking CXX executable (\S+)")
LISTING_FAILED = re.compile(r"Error running test executable\.\s*Path: '([^']+)'")
RESULT = re.compile(r"^\s*\d+/\d+ Test\s+#(\d+): (\S+) \.*\s*(\S.*?)\s+([\d.]+) sec\s*$")
SURVIVED = "SURVIVED"
END_TO_END_ONLY = "only the end-to-end tests reach it"
NOT_REACHED = "no test reaches it"


class Test:
    def __init__(self, number, name, command, properties):
        self.number, self.name, self.command = number, name, command
        self.labels = set(properties.get("LABELS", []))
        self.timeout = properties.get("TIMEOUT", 0)


def read_notes(path):
    """The equivalent mutants: an id without its line number -> why it changes nothing."""
    notes = {}
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        line = line.strip()
        if not line or line.startswith("#"):
            continue
        fields = line.split(None, 1)
        if len(fields) < 2:
            sys.exit(f"{path}:{number}: a mutant's id, then why it changes nothing")
        notes[mutants.without_line(fields[0])] = fields[1]
    return notes


def ctest_tests():
    """Every test CTest knows in the build, numbered as CTest numbers them."""
    listed = run(["ctest", "--show-only=json-v1"], cwd=BUILD)
    if listed.returncode != 0:
        sys.exit("ctest cannot list the tests:\n" + listed.stdout)
    tests = []
    for number, test in enumerate(json.loads(listed.stdout)["tests"], 1):
        properties = {p["name"]: p["value"] for p in test.get("properties", [])}
        tests.append(Test(number, test["name"], test.get("command", []), properties))
    return tests


def build_with_output(jobs):
    result = run(["cmake", "--build", str(BUILD), "-j", str(jobs)])
    return result.returncode == 0, result.stdout


def linked_executables(output):
    return {os.path.normpath(BUILD / path) for path in LINKED.findall(output)}


def end_to_end(test):
    return bool(test.labels & {"e2e", "package"})


def reaching(tests, linked):
    """The tests whose command runs an executable linked again, and apart, the
    end-to-end and package tests when the game itself was linked again."""
    direct = [test for test in tests if not end_to_end(test) and
              any(arg in linked or arg.split("=", 1)[-1] in linked for arg in test.command)]
    whole = [test for test in tests if end_to_end(test)] if GAME in linked else []
    return direct, whole


def run_tests(tests, limits, jobs, default_limit):
    """Runs the tests, each stopped past its limit (seconds, by name), and the run with it.
    Returns the seconds of those that passed, the names of those that failed,
    and those that timed out (failed too)."""
    numbers = ",".join(str(test.number) for test in tests)
    command = ["ctest", "-I", f"0,0,0,{numbers}", "-j", str(jobs), "--timeout", "1500"]
    by_command = {tuple(test.command): test.name for test in tests}
    ctest = subprocess.Popen(command, cwd=BUILD, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                             start_new_session=True)
    lines = []
    reader = threading.Thread(target=lambda: lines.extend(ctest.stdout), daemon=True)
    reader.start()
    timed_out = []
    try:
        while ctest.poll() is None and not timed_out:
            for pid in children_of(ctest.pid):
                age = age_of(pid)
                try:
                    argv = tuple(pathlib.Path(f"/proc/{pid}/cmdline").read_bytes().decode().split("\0")[:-1])
                except OSError:
                    continue
                name = by_command.get(argv)
                if age is not None and age > limits.get(name, default_limit):
                    kill_tree(pid)
                    timed_out.append(name or " ".join(argv))
            time.sleep(0.5)
    finally:
        if ctest.poll() is None:
            # A hang is caught already; the rest of this run would only wait again.
            os.killpg(ctest.pid, signal.SIGKILL)
            ctest.wait()
    reader.join(timeout=10)
    passed, failed = {}, set(timed_out)
    for line in lines:
        m = RESULT.match(line)
        if not m:
            continue
        name, status, seconds = m.group(2), m.group(3), float(m.group(4))
        if status == "Passed":
            passed[name] = seconds
        elif "Skipped" not in status and "Disabled" not in status:
            failed.add(name)
            if "Timeout" in status:
                timed_out.append(name)
    return passed, sorted(failed), timed_out


def repeated_failures(tests, limits, jobs):
    """Runs the tests; the names of those that fail, of those that time out,
    and of those that failed once but not again. When only a few fail, those
    run once more and count only if they fail again, so a test that fails now
    and then under load is not a catch."""
    default_limit = max(limits.values(), default=TEST_SECONDS)
    _, failed, timed_out = run_tests(tests, limits, jobs, default_limit)
    once = []
    if failed and not timed_out and len(failed) <= RUN_AGAIN_AT_MOST:
        first = failed
        _, failed, timed_out = run_tests([t for t in tests if t.name in failed], limits, jobs, default_limit)
        once = [name for name in first if name not in failed]
    return failed, timed_out, once


class Outcome:
    """What became of one mutant: caught, SURVIVED, DOES NOT COMPILE, or equivalent."""

    def __init__(self, kind, catchers=(), note=""):
        self.kind, self.catchers, self.note = kind, list(catchers), note
        self.seconds = {}  # build, tests, build again

    def text(self):
        if self.kind == "caught":
            shown = ", ".join(self.catchers[:SHOWN_CATCHERS])
            more = len(self.catchers) - SHOWN_CATCHERS
            return f"caught by {shown}" + (f" and {more} more" if more > 0 else "") + \
                (f" ({self.note})" if self.note else "")
        if self.kind == "equivalent":
            return f"equivalent: {self.note}"
        return self.kind + (f" ({self.note})" if self.note else "")


def try_mutant(mutant, tests, limits, args):
    """Plants the mutant, builds, runs the tests that reach it, puts the file
    back and builds again."""
    path = ROOT / mutant.path
    with open(path, encoding="utf-8", newline="") as source:
        text = source.read()
    started = time.monotonic()
    with planted(mutant.path, mutant.apply(text).encode("utf-8")):
        built, output = build_with_output(args.jobs)
        built_at = time.monotonic()
        if not built:
            listing = [os.path.relpath(p, BUILD) for p in LISTING_FAILED.findall(output)]
            outcome = Outcome("caught", [f"{exe} (listing its tests)" for exe in listing]) if listing else \
                Outcome(NOT_COMPILING)
        elif re.search(rf"(^|/){re.escape(mutant.path)}:\d+:\d+: warning:", output, re.MULTILINE):
            # ./test builds with warnings as errors, so a warning the mutant
            # raises stops it there; the tests are not asked.
            outcome = Outcome("caught", [WARNED])
        else:
            linked = linked_executables(output)
            direct, whole = reaching(tests, linked)
            failed, timed_out, once = repeated_failures(direct, limits, args.jobs) if direct else ([], [], [])
            if not failed and whole and args.all_tests:
                failed, timed_out, more = repeated_failures(whole, limits, args.jobs)
                once += more
            if failed:
                note = f"timed out: {timed_out[0]}; the rest not run" if timed_out else ""
                outcome = Outcome("caught", failed, note)
            elif not direct and not whole:
                outcome = Outcome(SURVIVED, note=NOT_REACHED)
            elif not direct and not args.all_tests:
                outcome = Outcome(SURVIVED, note=END_TO_END_ONLY)
            else:
                outcome = Outcome(SURVIVED, note=f"{', '.join(once)} failed once, not again" if once else "")
        tested_at = time.monotonic()
    if not build_with_output(args.jobs)[0]:
        sys.exit(f"the tree does not build again after putting back {mutant.path}")
    outcome.seconds = {"build": built_at - started, "tests": tested_at - built_at,
                       "build again": time.monotonic() - tested_at}
    return outcome


def sample_of(all_mutants, args):
    if args.only:
        wanted = {mutants.without_line(m) for m in args.only}
        chosen = [m for m in all_mutants if mutants.without_line(m.id) in wanted]
        missing = wanted - {mutants.without_line(m.id) for m in chosen}
        if missing:
            sys.exit("no such mutant: " + ", ".join(":".join(w) for w in sorted(missing)))
        return chosen
    chosen = random.Random(args.seed).sample(all_mutants, min(args.sample, len(all_mutants)))
    return sorted(chosen, key=lambda m: (m.path, m.start, m.op))


def markdown(cell):
    return cell.replace("|", "\\|")


def row_of(mutant, outcome):
    before, after = mutant.change()
    change = f"`{before}` → `{after}`" if after else f"`{before}` → (nothing)"
    return "| " + " | ".join(markdown(cell) for cell in (
        mutant.id, f"{mutant.path}:{mutant.line}", mutant.op, change, outcome.text())) + " |"


def read_systematic_table(path):
    """A table of an earlier systematic run: id without line -> its verdict."""
    verdicts = {}
    for line in path.read_text(encoding="utf-8").splitlines():
        cells = [cell.strip() for cell in line.strip().strip("|").split(" | ")]
        if len(cells) == 5 and cells[0] not in ("mutant", "---"):
            verdicts[mutants.without_line(cells[0])] = cells[4]
    return verdicts


def list_systematic(all_mutants, sample, notes, args):
    counts = collections.Counter((m.path.split("/")[0], m.op) for m in all_mutants)
    folders = sorted({folder for folder, _ in counts})
    width = max(len(op) for op in mutants.OPERATORS)
    print(f"{'':10}" + "".join(f"{op:>{width + 2}}" for op in mutants.OPERATORS) + f"{'all':>8}")
    for folder in folders + ["all"]:
        cells = [sum(n for (f, o), n in counts.items() if o == op and folder in (f, "all"))
                 for op in mutants.OPERATORS]
        print(f"{folder:10}" + "".join(f"{n:>{width + 2}}" for n in cells) + f"{sum(cells):>8}")
    print()
    what = "chosen with --only" if args.only else f"sampled with seed {args.seed}"
    print(f"{len(sample)} of {len(all_mutants)} mutants {what}:")
    for mutant in sample:
        before, after = mutant.change()
        known = " [equivalent]" if mutants.without_line(mutant.id) in notes else ""
        print(f"{mutant.id}{known}\n    {before}\n    {after or '(nothing)'}")
    stale = set(notes) - {mutants.without_line(m.id) for m in all_mutants}
    for key in sorted(stale):
        print(f"{NOTES.name}: no such mutant now: {':'.join(key)}")
    return 0


def unplanted_tests(args):
    """Builds the tree as it is and runs the tests once: every test CTest
    knows, and how long each may take once something is planted."""
    configure(args.sanitizers)
    if not build_with_output(args.jobs)[0]:
        sys.exit("the tree does not build without any fault")
    tests = ctest_tests()
    plain = [t for t in tests if args.all_tests or not end_to_end(t)]
    print(f"the tests without any fault: {len(plain)}", flush=True)
    # Unplanted, a test may take as long as its own TIMEOUT allows.
    allowed = {t.name: max(TEST_SECONDS, t.timeout) for t in plain}
    passed, failed, _ = run_tests(plain, allowed, args.jobs, TEST_SECONDS)
    if failed:
        again, failed, _ = run_tests([t for t in plain if t.name in failed], allowed, args.jobs, TEST_SECONDS)
        if failed:
            sys.exit("tests fail without any fault: mend them first: " + ", ".join(failed))
        print("passed only when run again, without any fault: " + ", ".join(sorted(again)), flush=True)
        passed.update(again)
    return tests, {name: max(TIMEOUT_FLOOR, TIMEOUT_FACTOR * seconds) for name, seconds in passed.items()}


def systematic(args):
    all_mutants = mutants.generate(ROOT)
    notes = read_notes(NOTES)
    sample = sample_of(all_mutants, args)
    if args.list:
        return list_systematic(all_mutants, sample, notes, args)

    for name in ("SIGTERM", "SIGHUP"):
        signal.signal(getattr(signal, name), lambda *_: sys.exit(130))
    tests, limits = unplanted_tests(args)

    what = "chosen with --only" if args.only else f"drawn with seed {args.seed}"
    heading = [f"{len(sample)} of {len(all_mutants)} mutants {what}"
               f"{', the end-to-end and package tests too' if args.all_tests else ''}.", "",
               "| mutant | where | operator | change | verdict |", "| --- | --- | --- | --- | --- |"]
    if args.out:
        args.out.write_text("\n".join(heading) + "\n", encoding="utf-8")
    rows, outcomes, seconds = [], [], []
    for number, mutant in enumerate(sample, 1):
        started = time.monotonic()
        outcome = try_mutant(mutant, tests, limits, args)
        reason = notes.get(mutants.without_line(mutant.id))
        if reason and outcome.kind == SURVIVED:
            outcome.kind, outcome.note = "equivalent", reason
        elif reason and outcome.kind == "caught":
            outcome.note = (outcome.note + "; " if outcome.note else "") + f"listed in {NOTES.name} as equivalent"
        outcomes.append(outcome)
        seconds.append(time.monotonic() - started)
        parts = ", ".join(f"{step} {s:.0f}" for step, s in outcome.seconds.items())
        print(f"[{number}/{len(sample)}] {mutant.id}: {outcome.text()} ({seconds[-1]:.0f} s: {parts})", flush=True)
        rows.append(row_of(mutant, outcome))
        if args.out:
            with args.out.open("a", encoding="utf-8") as out:
                out.write(rows[-1] + "\n")

    kinds = collections.Counter(o.kind for o in outcomes)
    compiled = len(outcomes) - kinds[NOT_COMPILING]
    scored = compiled - kinds["equivalent"]
    share = 100.0 * kinds["caught"] / scored if scored else 100.0
    by_op = collections.Counter(m.op for m in all_mutants)
    unreached = sum(o.note == END_TO_END_ONLY for o in outcomes)
    summary = [
        f"generated: {len(all_mutants)} ({', '.join(f'{op} {by_op[op]}' for op in mutants.OPERATORS)})",
        f"sampled: {len(sample)} ({what})",
        f"compiled: {compiled} (does not compile: {kinds[NOT_COMPILING]})",
        f"caught: {kinds['caught']}",
        f"equivalent: {kinds['equivalent']}",
        f"survived: {kinds[SURVIVED]}" + (f" ({unreached} of them reached only by the end-to-end tests, not run)"
                                          if unreached else ""),
        f"caught share of the non-equivalent compiled sample: {kinds['caught']} of {scored} = {share:.1f} %",
        f"time: {sum(seconds) / 60:.0f} min, {sum(seconds) / max(1, len(seconds)):.0f} s a mutant",
    ]
    lost = []
    if args.baseline:
        before = read_systematic_table(args.baseline)
        lost = [m.id for m, o in zip(sample, outcomes)
                if o.kind == SURVIVED and before.get(mutants.without_line(m.id), "").startswith("caught")]
        summary += [f"caught in {args.baseline} but not now: {mutant_id}" for mutant_id in lost]
    print("\n" + "\n".join(heading + rows + [""] + summary))
    if args.out:
        with args.out.open("a", encoding="utf-8") as out:
            out.write("\n" + "\n".join(summary) + "\n")
    return 0 if share >= args.target and not lost else 1


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--only", nargs="+", metavar="NAME", help="plant only these faults")
    parser.add_argument("--all-tests", action="store_true", help="run the end-to-end and package tests too")
    parser.add_argument("--sanitizers", action="store_true", help="build and run the sanitized tests too")
    parser.add_argument("--list", action="store_true", help="list the faults and check them against the code")
    parser.add_argument("--out", type=pathlib.Path, help="write the table into this file too, row by row")
    parser.add_argument("--baseline", type=pathlib.Path, help="a table of an earlier run: name the faults it "
                        "caught that this run misses")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 2, help="tests run at once (and, in the "
                        "systematic mode, build jobs)")
    parser.add_argument("--systematic", action="store_true", help="plant mutants made mechanically from every "
                        "shipped source instead of the listed faults; --only then takes mutant ids")
    parser.add_argument("--seed", type=int, default=1, help="the systematic sample's seed (1 unless given)")
    parser.add_argument("--sample", type=int, default=100, help="how many mutants the systematic mode plants")
    parser.add_argument("--target", type=float, default=90.0, help="the caught share, in per cent, the "
                        "systematic mode exits 0 at")
    args = parser.parse_args()

    restore_leftover()
    if args.systematic:
        return systematic(args)

    faults = [f for f in FAULTS if not args.only or f.name in args.only]
    if args.only and len(faults) != len(set(args.only)):
        sys.exit("no such fault: " + ", ".join(set(args.only) - {f.name for f in faults}))
    problems = check(faults)
    if problems:
        sys.exit("\n".join(problems))
    if args.list:
        for fault in faults:
            print(f"{fault.name:32} {fault.path:34} {fault.models}")
        print(f"{len(faults)} faults")
        return 0

    # Ctrl+C, a kill or a closed terminal ends the run through planted's
    # finally, so no fault stays planted; a run killed outright is mended by
    # restore_leftover when the script next starts.
    for name in ("SIGTERM", "SIGHUP"):
        signal.signal(getattr(signal, name), lambda *_: sys.exit(130))
    tests, limits = unplanted_tests(args)

    header = ["| fault | file | models | caught by |", "| --- | --- | --- | --- |"]
    if args.out:
        args.out.write_text("\n".join(header) + "\n", encoding="utf-8")
    rows, verdicts = [], {}
    for number, fault in enumerate(faults, 1):
        started = time.monotonic()
        failed = plant(fault, tests, limits, args)
        verdict = NOT_COMPILING if failed is None else ", ".join(failed) if failed else MISSED
        verdicts[fault.name] = verdict
        print(f"[{number}/{len(faults)}] {fault.name}: {verdict} ({time.monotonic() - started:.0f} s)", flush=True)
        rows.append(f"| {fault.name} | {fault.path} | {fault.models} | {verdict} |")
        if args.out:
            with args.out.open("a", encoding="utf-8") as out:
                out.write(rows[-1] + "\n")

    caught = sum(v not in (NOT_COMPILING, MISSED) for v in verdicts.values())
    summary = [f"{caught} of {len(faults)} faults caught"]
    summary += [f"missed: {name}" for name, v in verdicts.items() if v == MISSED]
    summary += [f"does not compile: {name}" for name, v in verdicts.items() if v == NOT_COMPILING]
    lost = []
    if args.baseline:
        before = read_table(args.baseline)
        lost = [name for name, v in verdicts.items()
                if v in (NOT_COMPILING, MISSED) and before.get(name, MISSED) not in (NOT_COMPILING, MISSED)]
        summary += [f"caught in {args.baseline} but not now: {name}" for name in lost]
    print("\n" + "\n".join(header + rows + [""] + summary))
    if args.out:
        with args.out.open("a", encoding="utf-8") as out:
            out.write("\n" + "\n".join(summary) + "\n")
    return 0 if caught == len(faults) and not lost else 1


if __name__ == "__main__":
    sys.exit(main())
