// The text form of every port setting and the way back. Texts that match nothing give a fixed
// default; none of these fails.
#pragma once

#include <string>

#include "serial/ComTypes.h"

std::string BaudRateToText(TBaudRate Value);
std::string StopBitsToText(TStopBits Value);
std::string DataBitsToText(TDataBits Value);
std::string ParityToText(TParityBits Value);
std::string FlowControlToText(TFlowControl Value);
std::string DTRControlToText(TDTRFlowControl Value);
std::string RTSControlToText(TRTSFlowControl Value);
std::string BoolToText(bool Value);
// Codes 33 to 127 as themselves, every other code as "#" and its decimal number.
std::string CharToText(char Value);

// Matching ignores the letter case of ASCII letters and nothing else.
TBaudRate TextToBaudRate(const std::string& Text);
TStopBits TextToStopBits(const std::string& Text);
TDataBits TextToDataBits(const std::string& Text);
TParityBits TextToParity(const std::string& Text);
TFlowControl TextToFlowControl(const std::string& Text);
TDTRFlowControl TextToDTRControl(const std::string& Text);
TRTSFlowControl TextToRTSControl(const std::string& Text);
bool TextToBool(const std::string& Text);
char TextToChar(const std::string& Text);
