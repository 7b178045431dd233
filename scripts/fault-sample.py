#!/usr/bin/env python3
"""Measures how many realistic faults the test suite catches.

Each fault below is one small edit of the code (a condition, a bound, a dropped notice, a wrong byte, a
skipped repair). The tree is copied to a scratch directory and built there once; then every fault is applied
on its own, the test programs are rebuilt and run, and the fault is recorded as caught (a test program
failed) or missed. The tree itself is never changed. Without --gui the desktop program's tests are left out
(they drive the same core through the window classes, and take the longest to build).

    python3 scripts/fault-sample.py                      # every fault; a table on stdout
    python3 scripts/fault-sample.py --only 3,17 --out r.txt
    python3 scripts/fault-sample.py --list

A fault whose original text is no longer found is reported as "stale": update its snippet after the code
moved. The real-time pacing test is left out (it catches nothing the short-wait tests miss). A caught fault
takes seconds; a missed one a minute or two, as every program then runs to its end.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

# (file, original text, faulty text, what the fault does). The original must occur exactly once.
FAULTS = [
    # --- model/
    ("model/CBrantSetupType.cpp", "flags |= static_cast<BYTE>(scale << 3);",
     "flags |= static_cast<BYTE>((scale == 3 ? 2 : scale) << 3);",
     "three decimals encoded with the scale of two"),
    ("model/CBrantSetupType.cpp", "(in[2] >> 3) & 0x03", "(in[2] >> 4) & 0x03",
     "scale bits read from the wrong place"),
    ("model/CBrantSetupType.cpp", "if (negative && magnitude != 0) flags |= 0x80;",
     "if (negative && AtoF(text) <= -1) flags |= 0x80;",
     "sign bit lost for values between -1 and 0"),
    ("model/CBrantSetupType.cpp", "out[i] = c == 0xB0 ? 0xDF : c;", "out[i] = c;",
     "degree sign sent unconverted"),
    ("model/CBrantSetupType.cpp", "if (direction == 1) return 78 * blocks;",
     "if (direction == 1) return 77 * blocks;", "download total one byte short per block"),
    ("model/CBrantSetupType.cpp", "(row != m_nLastErrRow || id != m_nLastErrId)",
     "(row != m_nLastErrRow && id != m_nLastErrId)", "a repeated message on another row not shown"),
    ("model/CArchive.cpp", "if (length < 0xFF) {", "if (length <= 0xFF) {",
     "string of 255 bytes written with a one-byte length"),
    ("model/CArchive.cpp", "if (length == 0xFFFF) length = ReadUInt32();", "",
     "32-bit string length not read"),
    ("unit/FileReplacePosix.cpp",
     "::stat(target.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0666 & ~CurrentUmask()",
     "0666 & ~CurrentUmask()", "file mode not kept on save"),
    ("unit/CTavikDoc.cpp", "if (archive.GetRemaining() != 0) {", "if (archive.GetRemaining() > 1) {",
     "one stray byte after the last record accepted"),
    ("model/CBrChnData.cpp", "else if (index < m_nSel && m_nSel >= 1)", "else if (index > m_nSel && m_nSel >= 1)",
     "selection moves wrongly when an item is removed"),
    # --- sheets/general
    ("sheets/general/CGeneral.cpp", "if (number < min || number > max) return 0;",
     "if (number <= min || number > max) return 0;", "smallest device number refused"),
    ("sheets/general/CGeneral.cpp", "if (!(value >= min && value <= max)) return 0;",
     "if (!(value >= min && value < max)) return 0;", "largest hysteresis refused"),
    ("sheets/general/CGeneralImage.cpp", "steps = std::round(AtoF(text) * 20.0);", "steps = std::round(AtoF(text) * 10.0);",
     "hysteresis sent in the wrong steps"),
    ("sheets/general/CGeneralImage.cpp", "return value >= 1 && value <= 62 ?", "return value >= 1 && value < 62 ?",
     "largest device number read back as 0"),
    ("sheets/general/CGeneralImage.cpp",
     "GEN_ROW_RS232_BAUD,\n                                               GEN_ROW_RS485_BAUD,",
     "GEN_ROW_RS485_BAUD,\n                                               GEN_ROW_RS232_BAUD,",
     "the two baud-rate constants swapped"),
    ("sheets/general/CGeneralFile.cpp", "{0, 1, 2, 3, 6, 5, 8, 10, 7, 11, 9, 12, 13, 14, 4}",
     "{0, 1, 2, 3, 5, 6, 8, 10, 7, 11, 9, 12, 13, 14, 4}", "old row order: two rows swapped"),
    ("sheets/general/CGeneralFile.cpp", "FixItems(GEN_ROW_RESET_FUNC, g_GenResetFunc[0], 3);",
     "FixItems(GEN_ROW_RESET_FUNC, g_GenResetFunc[0], 2);", "old reset texts: last one not repaired"),
    ("sheets/general/CGeneralFile.cpp", "    FixFuncTest();\n    FixInit();", "    FixFuncTest();",
     "old initialisation texts not repaired"),
    # --- sheets/physical
    ("sheets/physical/CPhysicalInput.cpp", "} else if (value > record->m_fUpper) {",
     "} else if (value >= record->m_fUpper) {", "input limit equal to the type's maximum refused"),
    ("sheets/physical/CPhysicalInput.cpp",
     "for (int col = PH_COL_INP_LO; col <= PH_COL_MISC; ++col)\n        if (CBrChnData* cell = GetCell(row, col)) cell->SetText(\"0\");",
     "for (int col = PH_COL_INP_LO; col < PH_COL_MISC; ++col)\n        if (CBrChnData* cell = GetCell(row, col)) cell->SetText(\"0\");",
     "reset leaves the last column"),
    ("sheets/physical/CPhysicalInput.cpp", "    NotifyAll(row, col, TrimLeft(text));\n", "",
     "edit notice dropped"),
    ("sheets/physical/CPhysicalInput.cpp",
     "if (!ValidateInpRange(low, row, PH_COL_INP_LO) || !ValidateInpRange(up, row, PH_COL_INP_UP))",
     "if (!ValidateInpRange(low, row, PH_COL_INP_LO))", "upper limit not clamped to a new type"),
    ("sheets/physical/CPhysicalInputImage.cpp",
     "{PH_COL_INP_LO, PH_COL_LCD_LO, PH_COL_INP_UP, PH_COL_LCD_UP, PH_COL_MISC}",
     "{PH_COL_INP_LO, PH_COL_INP_UP, PH_COL_LCD_LO, PH_COL_LCD_UP, PH_COL_MISC}",
     "two numbers of the input block swapped"),
    # --- sheets/logical
    ("sheets/logical/CLogicalInputImage.cpp", "if (index >= 1 && index <= LOGICAL_REFERENCES)",
     "if (index >= 1 && index < LOGICAL_REFERENCES)", "last logical reference sent as OFF"),
    ("sheets/logical/CLogicalInputFile.cpp",
     "for (int col = LOG_COL_FIRST_INPUT; col <= LOG_COL_LAST_INPUT; ++col)\n            if (CBrChnData* cell = GetCell(row, col))\n                for",
     "for (int col = LOG_COL_FIRST_INPUT; col < LOG_COL_LAST_INPUT; ++col)\n            if (CBrChnData* cell = GetCell(row, col))\n                for",
     "old source names: last input cell not repaired"),
    ("sheets/logical/CLogicalInputImage.cpp", "        UpdateModifyLogInput(row);\n", "",
     "notice to higher logical inputs dropped after a download"),
    # --- sheets/alarms
    ("model/CBrantSetupType.cpp", "if (number.decimals > MAX_SCALE) return IDS_TOO_MANY_DECIMALS;",
     "if (number.decimals >= MAX_SCALE) return IDS_TOO_MANY_DECIMALS;", "set point with three decimals refused"),
    ("sheets/alarms/CAlarmImage.cpp",
     "constexpr BYTE SETPOINT_BELOW = 0x20; // \"<\" or \"±\"\nconstexpr BYTE SETPOINT_DYNAMIC = 0x40;",
     "constexpr BYTE SETPOINT_BELOW = 0x40; // \"<\" or \"±\"\nconstexpr BYTE SETPOINT_DYNAMIC = 0x20;",
     "two comparison bits swapped"),
    ("sheets/alarms/CAlarmImage.cpp", "flags |= static_cast<BYTE>(0x80 >> i);",
     "flags |= static_cast<BYTE>(0x20 << i);", "Block and Hysteresis flag bits swapped"),
    ("sheets/alarms/CAlarmImage.cpp", "for (long long n : {below, std::min(below + 1, MAX_COUNT)})",
     "for (long long n : {below})", "delay count truncated"),
    ("sheets/alarms/CAlarmImage.cpp", "ledNumber >= 1 && ledNumber <= 24", "ledNumber >= 1 && ledNumber < 24",
     "LED 24 sent as OFF"),
    ("sheets/alarms/CAlarmImage.cpp", "out[k] = k < text.size() ? static_cast<BYTE>(text[k]) : 0x20;",
     "out[k] = k < text.size() ? static_cast<BYTE>(text[k]) : 0x00;", "display text padded with zeros"),
    ("sheets/alarms/CAlarmImage.cpp",
     "    for (int col = ALM_COL_INPREF; col < ALARM_CELLS; ++col)\n        DoValidateData(row, col, GetValue(row, col), 0);\n",
     "",
     "received alarm not checked (mirror columns not filled)"),
    ("sheets/alarms/CAlarmValidate.cpp", "    } else if (value > up) {\n        stored = held(upText);",
     "    } else if (value >= up) {\n        stored = held(upText);", "set point equal to the upper limit refused"),
    ("sheets/alarms/CAlarmValidate.cpp", "source == SETUP_GENERAL && row == GENERAL_BLOCK_ROW",
     "source == SETUP_GENERAL && row == GENERAL_BLOCK_ROW + 1", "Block notice ignored"),
    ("sheets/alarms/CAlarmFile.cpp", "for (int col : {ALM_COL_INPREF, ALM_COL_DYNREF})",
     "for (int col : {ALM_COL_INPREF})", "old dynamic reference names not repaired"),
    # --- link/
    ("model/CZemProtocol.cpp", "return expected == checksum ? 1 : 0;", "return 1;", "checksum not checked"),
    ("model/CZemProtocol.cpp",
     "if (code == MSG_WRITE_LOGINP) WireCodeAndAddress(code, address, wireCode, address);",
     "if (code == MSG_WRITE_LOGINP) wireCode = static_cast<BYTE>(MSG_WRITE_PHINP);",
     "logical inputs written over the physical inputs"),
    ("link/BlockExchange.cpp", "if (std::memcmp(m_DataBlock, m_CmpBlock, sizeof m_CmpBlock) != 0)",
     "if (false)", "read-back not compared"),
    ("link/BlockExchange.cpp", "if (received > DATA_MSG_LEN)", "if (received > DATA_MSG_LEN + 1)",
     "long answer taken"),
    ("unit/CZemUnitTransfer.cpp", "if (direction == 1) m_pComSetup->PurgePort(LYN_PURGE_ALL);", "",
     "stale input not purged before a download"),
    ("unit/CZemUnitTransfer.cpp",
     "m_strTransferError.clear(); // a failure that a retry overcame is no longer the result", "",
     "overcome failure still reported"),
    # --- serial/
    ("serial/LynBaudRates.cpp", "{9600, B9600}, {19200, B19200}", "{9600, B19200}, {19200, B9600}",
     "two baud-rate codes swapped"),
    ("serial/LynSerialPosix.cpp",
     "if (::poll(&pfd, 1, 0) > 0 && (pfd.revents & (POLLHUP | POLLERR | POLLNVAL))) FailIo(EIO, \"read\");\n        return 0;",
     "return 0;", "hung-up line not seen on an empty read"),
    ("serial/LynSerialPosix.cpp", "    case LYN_ODDPARITY:\n        return PARENB | PARODD;\n    case LYN_EVENPARITY:\n        return PARENB;",
     "    case LYN_ODDPARITY:\n        return PARENB;\n    case LYN_EVENPARITY:\n        return PARENB | PARODD;",
     "odd and even parity swapped"),
    # --- tools/ (the command line, on the model)
    ("tools/tavik-cli/TransferCommands.cpp", "if (!LoadDocument(document, path, in, err)) return CLI_BAD_FILE;",
     "if (!LoadDocument(document, path, in, err)) return CLI_FAILED;",
     "upload of a damaged document exits with 1"),
    # --- added later; the earlier faults keep their numbers
    ("model/NumberText.cpp", "(rest >= divisor - rest ? 1 : 0)", "(rest > divisor - rest ? 1 : 0)",
     "exact halves rounded toward zero in the unit's steps"),
    ("unit/CUndoHistory.cpp",
     "    if (m_nSaved > static_cast<long>(m_states.size()) - 1) m_nSaved = -1; // the saved state was a redo step\n",
     "", "saved mark kept on the Redo step a new edit dropped"),
    ("sheets/logical/CLogicalInputSources.cpp",
     "    for (int k = 0; k < LOG_DERIVED_COUNT; ++k) {\n        const CBrChnData* source",
     "    for (int k = 0; k < LOG_DERIVED_COUNT - 1; ++k) {\n        const CBrChnData* source",
     "source check compares six of the seven parameters"),
    ("sheets/alarms/CAlarmFile.cpp", "input > 0) item = GetLogChnName(input);",
     "input > 1) item = GetLogChnName(input);", "old long name LOG1 (1A) not shortened"),
    ("sheets/alarms/CAlarmValidate.cpp",
     "            refCell->RemoveItem(name);\n        }\n    }\n    m_bDynRefsPending = 1;\n",
     "            refCell->RemoveItem(name);\n        }\n    }\n",
     "physical input notice does not re-check dynamic references"),
    ("sheets/alarms/CAlarm.cpp", "    m_bBlockWarned = 0;\n", "",
     "Block warning not shown again after a new document"),
    # --- added for the canonical texts, the edit judge, import and tavik-cli's path checks
    ("model/CanonicalText.cpp", "if (SameButCase(item, trimmed)) return item;", "if (item == trimmed) return item;",
     "list value in another letter case not folded to the list's spelling"),
    ("model/CanonicalText.cpp", "        if (digits.back() == '.') digits.pop_back();\n", "",
     "a whole delay or hysteresis keeps a trailing point (a second form)"),
    ("model/CanonicalText.cpp", "static_cast<unsigned char>(c) < 0x20 || c == '\\x7F'",
     "static_cast<unsigned char>(c) < 0x09 || c == '\\x7F'", "tab and line feed accepted in LCD Text and units"),
    ("model/CBrantSetupType.cpp", "return parameter >= 2 && parameter <= 6 ? CanonicalNumber(text) : text;",
     "return parameter >= 2 && parameter <= 5 ? CanonicalNumber(text) : text;",
     "an input's Misc. number keeps a plus sign or leading zeros"),
    ("sheets/general/CGeneral.cpp", "? std::to_string(number.digits)",
     "? text.substr(text.find_first_not_of(' '))", "device number keeps leading zeros (only blanks taken off)"),
    ("sheets/alarms/CAlarmValidate.cpp", "    case ALM_COL_TEXT:\n        return WithoutTrailingBlanks(text);",
     "    case ALM_COL_TEXT:\n        return text;", "LCD Text with trailing blanks judged as corrected"),
    ("sheets/alarms/CAlarmValidate.cpp",
     "GetCell(row, col)->SetText(WithoutTrailingBlanks(text.substr(0, ALARM_TEXT_LEN)));",
     "GetCell(row, col)->SetText(text.substr(0, ALARM_TEXT_LEN));",
     "LCD Text cut to ten characters keeps the blanks it ends in"),
    ("sheets/alarms/CAlarmImage.cpp", "== typed ? ShortDecimal(typed, 6) : text;", "== typed ? text : text;",
     "a delay the unit holds keeps its typed form (2.000, 0.300)"),
    ("sheets/alarms/CAlarmValidate.cpp",
     "        if (flag == ALARM_FLAG_COUNT) return false;",
     "        if (flag == ALARM_FLAG_COUNT) continue;",
     "a Flags text with another letter taken without that letter"),
    ("sheets/alarms/CAlarmValidate.cpp", "blockTurnedOn = blockTurnedOn || (i == 0 && on[i]);",
     "blockTurnedOn = blockTurnedOn || (i == 1 && on[i]);", "Block warning follows the Control flag letter"),
    ("sheets/alarms/CAlarmValidate.cpp",
     "                UpdateInpParms(alarm, input);\n            if (used) m_setPointsToCheck.set(static_cast<std::size_t>(alarm));\n",
     "                UpdateInpParms(alarm, input);\n",
     "set point not re-checked after a physical input's LCD range changes"),
    ("sheets/alarms/CAlarmValidate.cpp",
     "    // Another input may have another display range: the set point keeps to it, as if typed again.\n    CheckSetPoint(row, ALM_COL_SETPOINT, GetValue(row, ALM_COL_SETPOINT));\n",
     "", "set point not kept to the range of a newly chosen input"),
    ("unit/CEditJudge.cpp", "const std::string value = setup ? setup->CanonicalText(m_nRow, m_nCol, given) : given;",
     "const std::string value = given;", "a respelling counted as a correction"),
    ("unit/CEditJudge.cpp",
     "change.type == m_nType && change.rowIndex == m_nRow && change.colIndex == m_nCol",
     "change.type == m_nType && change.rowIndex == m_nRow", "other cells of the edited row not listed"),
    ("unit/CEditJudge.cpp", " || id == IDS_DELAY_NEAREST;", ";",
     "a delay stored as the nearest one the unit holds counted as refused"),
    ("unit/CAlsoChanged.cpp", "    m_values = std::move(now);\n", "",
     "the next change also lists the cells of the change before"),
    ("unit/CAlsoChanged.cpp", "        if (d.sheet == sheet) continue;\n", "",
     "cells of the edited sheet counted as also changed"),
    ("tools/tavik-cli/ConfigCommands.cpp",
     "for (int row = 1; row <= LastEditableRow(setup); ++row) {\n                if (!m_rowsGiven",
     "for (int row = 1; row < LastEditableRow(setup); ++row) {\n                if (!m_rowsGiven",
     "import does not list a missing last row"),
    ("tools/tavik-cli/ConfigCommands.cpp", "        m_err << line << '\\n';\n        if (strict) ++m_refused;\n",
     "        m_err << line << '\\n';\n", "values left out not refused with --strict"),
    ("tools/tavik-cli/ConfigCommands.cpp",
     "    if (options.onto.empty())\n        document.OnNewDocument();\n    else if (!LoadDocument(document, options.onto, in, err))\n        return CLI_BAD_FILE;",
     "    CTavikDoc base;\n    document.OnNewDocument();\n    if (!options.onto.empty() && !LoadDocument(base, options.onto, in, err))\n        return CLI_BAD_FILE;",
     "--onto document read but the patch applied to the defaults"),
    ("tools/tavik-cli/ConfigExport.cpp", "    nlohmann::ordered_json root;", "    nlohmann::json root;",
     "export puts the sheets in name order, not the unit's"),
    ("tools/tavik-cli/CliSystemPosix.cpp", "    if (!ResolveReplaceTarget(path, target, error)) return false;",
     "    if (!ResolveReplaceTarget(path, target, error)) target = path;",
     "a FIFO or /dev/null as output found only at the save, after the work"),
    ("unit/FileReplacePosix.cpp", "if (::lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return true;",
     "if (::stat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return true;",
     "dangling link replaced by the file instead of creating its target"),
    ("unit/FileReplacePosix.cpp", "        target = resolved;\n", "        target = path;\n",
     "a save through a link replaces the link with a file"),
    ("tools/tavik-cli/CliCommands.cpp", "return (code == CLI_OK || code == CLI_DIFFERS) && !FinishOutput(out, err)",
     "return code == CLI_OK && !FinishOutput(out, err)", "diff and compare ignore a failed write to standard output"),
    ("tools/tavik-cli/CliUsage.cpp", "    err << \"\\nRun 'tavik-cli help COMMAND' for a command's options.\\n\";\n    return CLI_USAGE;",
     "    err << \"\\nRun 'tavik-cli help COMMAND' for a command's options.\\n\";\n    return CLI_FAILED;",
     "unknown command exits with 1, not the usage code"),
    # --- uploads that read first, and the desktop conventions
    ("link/BlockExchange.cpp", "for (std::size_t block = 0; block < image.size() && ok; ++block) {\n        // Bytes",
     "for (std::size_t block = 0; block + 1 < image.size() && ok; ++block) {\n        // Bytes",
     "the last block of a sheet never written when it differs"),
    ("link/BlockExchange.cpp", "std::memcpy(m_DataBlock, image[block].data(), sizeof m_DataBlock);\n        FillBlock",
     "std::memset(m_DataBlock, 0, sizeof m_DataBlock);\n        FillBlock",
     "bytes the sheet does not map zeroed: held blocks written anyway"),
    ("unit/CZemUnitTransfer.cpp", "if (m_nDirection == 0 && !IsPlainUpload()) failed = ReadAndWrite();",
     "if (m_nDirection == 0 && !IsPlainUpload() && !m_bUnitRead) failed = ReadAndWrite();",
     "a retry of an upload does not read the unit again"),
    ("unit/CZemUnitTransfer.cpp", "    const bool firstReading = !m_bUnitRead;\n",
     "    const bool firstReading = true;\n",
     "a retry keeps the second reading as the backup (blocks the first attempt wrote)"),
    ("unit/CZemUnitTransfer.cpp",
     "            return SETUP_TYPE_COUNT;\n        }\n    }\n    // Progress",
     "            return SETUP_TYPE_COUNT;\n        }\n    }\n    if (m_pBackup) m_pBackup->Forget();\n    // Progress",
     "the backup is forgotten before the writes: a stopped upload does not say where it is"),
    ("unit/CUnitBackup.cpp", "    for (std::size_t i = 0; i < extra; ++i)\n        fs::remove",
     "    for (std::size_t i = 0; i <= extra; ++i)\n        fs::remove",
     "pruning keeps 199 backups"),
    ("unit/CUnitBackup.cpp", "std::sort(backups.begin(), backups.end());",
     "std::sort(backups.rbegin(), backups.rend());", "pruning deletes the newest backups"),
    ("link/TransferControl.cpp", "    g_bPause = true;\n}", "    g_bPause = true;\n    g_bHeld = true;\n}",
     "a pause confirmed as held before the worker stopped sending"),
    ("link/TransferControl.cpp", "    CBrantSetupType::RequestStop(true);\n    g_changed.notify_all();",
     "    CBrantSetupType::RequestStop(true);", "a Stop while paused does not wake the held worker"),
    ("link/BlockExchange.cpp", "const BYTE* data = DoDownload(code, static_cast<int>(block), com);",
     "const BYTE* data = ReadBlock(code, static_cast<int>(block), com, false);",
     "the reading before an upload ignores a pause and a stop"),
    ("unit/CZemUnitTransfer.cpp", "        if (!m_pComSetup->IsPortOpen()) ReconnectPort(TransferWaits::ReconnectGraceMs());\n",
     "", "a Retry does not open a port that went away"),
    ("unit/CZemUnitTransfer.cpp",
     "    if (opened && !m_pComSetup->SettleLine(TransferWaits::BlockWaitMs(), TransferWaits::SettleLimitMs(), {}))\n        m_pComSetup->MarkUnsettled();\n",
     "", "a port opened for a transfer is not let fall quiet first"),
    ("unit/UploadReport.cpp", "if (names.empty()) return", "if (unit.GetBlocksWritten() == 0) return",
     "a stopped upload that wrote blocks says nothing was written"),
    ("link/BlockExchange.cpp",
     "    if (com->IsPortOpen() && !com->IsPortLost()) TransferControl::NoteWriteSent(GetBlockName(block));\n    const int sent = com->Write(m_WriteMsg, DATA_MSG_LEN);\n",
     "    const int sent = com->Write(m_WriteMsg, DATA_MSG_LEN);\n    if (sent == DATA_MSG_LEN) TransferControl::NoteWriteSent(GetBlockName(block));\n",
     "a block whose write message broke off is not named as written"),
    ("tools/tavik-cli/TransferCommands.cpp", "    unit.SetWriteAllBlocks(options.allBlocks);\n", "",
     "upload --all-blocks writes only what differs"),
    ("tools/tavik-cli/CliInterruptPosix.cpp", "return g_nSignal != 0 ? 128 + g_nSignal : kInterruptedExit;",
     "return kInterruptedExit;", "SIGTERM and SIGHUP exit with the status of Ctrl-C"),
    ("model/AllowedText.cpp", "if (last >= i + 2) {", "if (last >= i + 1) {",
     "two consecutive numbers named as a range"),
    ("sheets/alarms/CAlarmValidate.cpp",
     "for (int i = 0; i < ALARM_MIRROR_COUNT && equal && input > 0; ++i) {",
     "for (int i = 0; i < ALARM_MIRROR_COUNT - 1 && equal && input > 0; ++i) {",
     "a dynamic reference named as allowed when its last parameter differs"),
    ("ui/sheet/CHeldMessages.cpp", "    if (!known) m_messages.push_back({text, icon});",
     "    if (!known && m_pPrevious) m_pPrevious->ShowMessage(text, icon);",
     "messages during a paste shown at once, not collected for its report"),
    ("ui/sheet/CTavikView.cpp",
     "if (kind != EditVerdict::Ok) what = kind == EditVerdict::Refused ? tr(\"refused\") : tr(\"corrected\");",
     "if (kind == EditVerdict::Refused) what = tr(\"refused\");", "a pasted value corrected reported as taken"),
    ("ui/grid/CLynGridDelegate.cpp", "if (item.startsWith(text, Qt::CaseInsensitive)) return item;",
     "if (item.startsWith(text)) return item;", "a typed beginning matched in its letter case only"),
    ("ui/app/CMainFrameResult.cpp", "statusBar()->insertPermanentWidget(0, m_pResult, 1);",
     "statusBar()->addWidget(m_pResult, 1);", "the transfer result hidden by the texts of the commands"),
    ("ui/app/CTavikApp.cpp", "    connect(m_pFrame.get(), &CMainFrame::closing, this, &CTavikApp::SaveWindowPlacement);\n",
     "", "the window's placement not saved when it closes"),
    ("ui/app/CMainFrame.cpp", "SetActiveView(((GetActiveIndex() + step) % count + count) % count);",
     "SetActiveView((GetActiveIndex() + step) % count);", "Previous Sheet does not go around from the first"),
]

# Test programs; the one of the fault's own folder runs first, and the first that fails catches the fault.
# test_ui (with --gui) is built and run only when the others pass (first for a fault in ui/): it is the slowest
# to build and link.
PROGRAMS = ["test_model", "test_sheets", "test_serial", "test_link", "test_tools"]
OWN_PROGRAM = {"model": "test_model", "sheets": "test_sheets", "serial": "test_serial", "link": "test_link",
               "tools": "test_tools", "ui": "test_ui"}
# The real-time pacing check takes the unit's real pauses and catches nothing the others miss.
GTEST_FILTER = "-*RealTime*"
TIMEOUT = 600


def read_text(path):
    return path.read_bytes().decode("utf-8", "surrogateescape")  # byte for byte, line ends kept


def write_text(path, text):
    path.write_bytes(text.encode("utf-8", "surrogateescape"))


def run(cmd, cwd, log, timeout=None, env=None):
    with open(log, "a") as out:
        out.write("$ " + " ".join(cmd) + "\n")
        out.flush()
        try:
            return subprocess.run(cmd, cwd=cwd, stdout=out, stderr=subprocess.STDOUT, timeout=timeout,
                                  env=env).returncode
        except subprocess.TimeoutExpired:
            out.write("timed out\n")
            return -1


def copy_tree(source, scratch, ref=None):
    """Copies the working tree into scratch, with the tests/ folder of the commit `ref` if given; unchanged
    files keep their time stamps, so only what changed is rebuilt. Files an earlier run left that are not
    part of the copy are removed (test files come and go between commits)."""
    files = subprocess.run(["git", "ls-files", "-co", "--exclude-standard", "-z"], cwd=source, check=True,
                           capture_output=True).stdout.decode().split("\0")
    wanted = {name for name in files if name and not name.startswith("build/") and (source / name).is_file()}
    if ref:
        wanted = {name for name in wanted if not name.startswith("tests/")}
    copy_files(source, scratch, wanted)
    if ref:
        with tempfile.TemporaryDirectory() as unpacked:
            archive = subprocess.run(["git", "archive", ref, "tests"], cwd=source, check=True,
                                     capture_output=True).stdout
            subprocess.run(["tar", "-x", "-C", unpacked], input=archive, check=True)
            files = {str(p.relative_to(unpacked)) for p in Path(unpacked).rglob("*") if p.is_file()}
            copy_files(Path(unpacked), scratch, files)
            wanted |= files
    for path in scratch.rglob("*"):
        name = str(path.relative_to(scratch))
        if path.is_file() and not name.startswith("build/") and name != "fault-sample.log" and name not in wanted:
            path.unlink()


def copy_files(source, scratch, names):
    for name in names:
        src = source / name
        if not src.is_file():
            continue
        dst = scratch / name
        dst.parent.mkdir(parents=True, exist_ok=True)
        if not dst.exists() or dst.read_bytes() != src.read_bytes():
            shutil.copyfile(src, dst)


def build(scratch, targets, log):
    return run(["cmake", "--build", str(scratch / "build"), "-j", str(os.cpu_count() or 2), "--target"] + targets,
               scratch, log) == 0


def run_tests(scratch, log, gui, first=None, only=False):
    """Returns the name of the first program that fails, or None when all pass."""
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    if first == "test_ui" and not gui:
        first = None  # the desktop program's tests are not built
    programs = ([first] if first else []) + [p for p in PROGRAMS if p != first] + (
        ["test_ui"] if gui and first != "test_ui" else [])
    if only:
        programs = [first]
    for program in programs:
        binary = scratch / "build" / "tests" / (("ui/" if program == "test_ui" else "") + program)
        if not build(scratch, [program], log):
            return program + " (build)"
        if run([str(binary), "--gtest_filter=" + GTEST_FILTER, "--gtest_fail_fast", "--gtest_brief=1"],
               scratch, log, TIMEOUT, env) != 0:
            return program
    return None


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--only", help="comma-separated fault numbers (from --list)")
    parser.add_argument("--scratch", default="/tmp/tavik-fault-sample", help="scratch copy and build")
    parser.add_argument("--out", help="also write the table to this file")
    parser.add_argument("--list", action="store_true", help="list the faults and stop")
    parser.add_argument("--gui", action="store_true", help="also build and run the desktop program's tests")
    parser.add_argument("--ref", help="measure the tests (tests/) of this commit instead of the working tree's")
    args = parser.parse_args()

    source = Path(__file__).resolve().parent.parent
    if args.list:
        for number, (path, original, _, what) in enumerate(FAULTS, 1):
            found = read_text(source / path).count(original)
            print(f"{number:3}  {path:42} {what}" + ("" if found == 1 else f"  [stale: found {found} times]"))
        return 0
    chosen = range(1, len(FAULTS) + 1)
    if args.only:
        chosen = [int(n) for n in args.only.split(",")]  # in the order given

    scratch = Path(args.scratch)
    scratch.mkdir(parents=True, exist_ok=True)
    log = scratch / "fault-sample.log"
    log.write_text("")
    copy_tree(source, scratch, args.ref)
    env = dict(os.environ, CCACHE_BASEDIR=str(scratch))
    configure = ["cmake", "-S", str(scratch), "-B", str(scratch / "build"), "-G", "Ninja",
                 "-DCMAKE_BUILD_TYPE=Release", "-DCMAKE_CXX_FLAGS_RELEASE=-O1", "-DTAVIK_BUILD_BENCH=OFF",
                 "-DTAVIK_BUILD_GUI=" + ("ON" if args.gui else "OFF")]
    if shutil.which("ccache"):
        configure.append("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
    os.environ.update(env)
    if run(configure, scratch, log) != 0 or not build(scratch, PROGRAMS, log):
        print(f"the unchanged tree does not build; see {log}", file=sys.stderr)
        return 2
    # A program that fails on the unchanged tree (a timing test on a very busy machine) cannot tell whether it
    # caught a fault: a fault it seems to catch is reported as "unsure".
    unsure = set()
    for program in PROGRAMS + (["test_ui"] if args.gui else []):
        failing = run_tests(scratch, log, args.gui, program, only=True)
        if failing:
            unsure.add(failing)
            print(f"the unchanged tree fails {failing}; see {log}", file=sys.stderr)

    rows = []
    counts = {"caught": 0, "missed": 0, "stale": 0, "no build": 0, "unsure": 0}
    for number in chosen:
        path, original, faulty, what = FAULTS[number - 1]
        target = scratch / path
        text = read_text(target)
        started = time.time()
        if text.count(original) != 1:
            outcome, by = "stale", ""
        else:
            write_text(target, text.replace(original, faulty))
            try:
                # Test programs are built one at a time, just before they run: most faults are caught by the
                # first. A fault the core library does not compile with is no measurement.
                if not build(scratch, ["tavikcore"], log):
                    outcome, by = "no build", ""
                else:
                    by = run_tests(scratch, log, args.gui, OWN_PROGRAM.get(path.split("/")[0]))
                    outcome = ("no build" if by and by.endswith("(build)") else "unsure" if by in unsure
                               else "caught" if by else "missed")
            finally:
                write_text(target, text)
        counts[outcome] += 1
        rows.append(f"{number:3}  {outcome:8}  {by or '':14}  {path}: {what}")
        print(rows[-1], f"({time.time() - started:.0f} s)", flush=True)

    measured = counts["caught"] + counts["missed"]
    summary = (f"caught {counts['caught']} of {measured} faults"
               f" ({counts['missed']} missed, {counts['unsure']} unsure, {counts['stale']} stale,"
               f" {counts['no build']} not building)")
    print(summary)
    if args.out:
        Path(args.out).write_text("\n".join(rows + [summary]) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
