#pragma once

// Templates and controls of the configuration pages. The same number may name different
// controls on different pages: each page finds only its own.

// Configuration page: setpoint and PID, alarms, ramp.
inline constexpr int IDD_CONFIGURATION = 104;
namespace cfg {
// Setpoint and PID box.
inline constexpr int kBoxSetpointPid = 1179;
inline constexpr int kSetpoint = 1057;
inline constexpr int kSetpointHigh = 1105;
inline constexpr int kSetpointLow = 1102;
inline constexpr int kSetpoint2 = 1093;
inline constexpr int kPropBand = 1097;
inline constexpr int kIntegralTime = 1106;
inline constexpr int kDerivativeTime = 1103;
inline constexpr int kCycleTime = 1098;
inline constexpr int kIntegralLimit = 1107;
inline constexpr int kHysteresis = 1104;
inline constexpr int kOffset = 1117;
inline constexpr int kTunePercent = 1126;
inline constexpr int kSetpointLabel = 1156;
inline constexpr int kSetpoint2Label = 1165;
inline constexpr int kPropBandLabel = 1159;
inline constexpr int kCycleTimeLabel = 1162;
inline constexpr int kSetpointLowLabel = 1158;
inline constexpr int kDerivativeTimeLabel = 1161;
inline constexpr int kHysteresisLabel = 1164;
inline constexpr int kSetpointHighLabel = 1157;
inline constexpr int kIntegralTimeLabel = 1160;
inline constexpr int kIntegralLimitLabel = 1163;
inline constexpr int kTunePercentLabel = 1166;
inline constexpr int kOffsetLabel = 1178;
inline constexpr int kWriteSetpoint = 1151;
inline constexpr int kWriteSetpointHigh = 1152;
inline constexpr int kWriteSetpointLow = 1153;
inline constexpr int kWritePropBand = 1155;
inline constexpr int kWriteIntegralTime = 1175;
inline constexpr int kWriteDerivativeTime = 1181;
inline constexpr int kWriteCycleTime = 1173;
inline constexpr int kWriteIntegralLimit = 1176;
inline constexpr int kWriteHysteresis = 1182;
inline constexpr int kWriteSetpoint2 = 1174;
inline constexpr int kWriteOffset = 1177;
inline constexpr int kWriteTunePercent = 1187;
inline constexpr int kWriteSetpointPidBox = 1189;
// Alarms box.
inline constexpr int kBoxAlarms = 1180;
inline constexpr int kAlarm1Type = 1154;
inline constexpr int kAlarm1Hold = 1183;
inline constexpr int kAlarm1Setpoint = 1113;
inline constexpr int kAlarm1Hysteresis = 1111;
inline constexpr int kAlarm1ActionNoNc = 1128;
inline constexpr int kAlarm1ActionNcNo = 1129;
inline constexpr int kAlarm2Type = 1115;
inline constexpr int kAlarm2Hold = 1184;
inline constexpr int kAlarm2Setpoint = 1114;
inline constexpr int kAlarm2Hysteresis = 1112;
inline constexpr int kAlarm2ActionNoNc = 1130;
inline constexpr int kAlarm2ActionNcNo = 1131;
inline constexpr int kAlarm1TypeLabel = 1167;
inline constexpr int kAlarm2TypeLabel = 1170;
inline constexpr int kAlarm1HysteresisLabel = 1169;
inline constexpr int kAlarm2HysteresisLabel = 1172;
inline constexpr int kAlarm1SetpointLabel = 1168;
inline constexpr int kAlarm2SetpointLabel = 1171;
inline constexpr int kAlarm1ActionLabel = 1185;
inline constexpr int kAlarm2ActionLabel = 1186;
inline constexpr int kWriteAlarmsBox = 1188;
// Ramp box.
inline constexpr int kBoxRamp = 1190;
inline constexpr int kBoxRampKind = 1192;
inline constexpr int kRampTimeLabel = 1193;
inline constexpr int kRampOn = 1019;
inline constexpr int kRampPowerOn = 1209;
inline constexpr int kRampOneShot = 1132;
inline constexpr int kRampContinuous = 1133;
inline constexpr int kRampTime = 1116;
inline constexpr int kWriteRampBox = 1191;
} // namespace cfg

// Second configuration page: input, output, digital input, versions.
inline constexpr int IDD_CONFIGURACION2 = 207;
namespace cfg2 {
inline constexpr int kBoxInput = 1173;
inline constexpr int kInputType = 1120;
inline constexpr int kInputTypeLabel = 1181;
inline constexpr int kDecimalPointEdit = 1122;
inline constexpr int kDecimalPointSpin = 1095;
inline constexpr int kDecimalPointLabel = 1174;
inline constexpr int kBias = 1050;
inline constexpr int kBiasLabel = 1045;
inline constexpr int kFilter = 1155;
inline constexpr int kUnitLabel = 1187;
inline constexpr int kUnitCelsius = 1132;
inline constexpr int kUnitFahrenheit = 1133;
inline constexpr int kWriteInputBox = 1179;
inline constexpr int kBoxOutput = 1182;
inline constexpr int kActionLabel = 1176;
inline constexpr int kActionDirect = 1124;
inline constexpr int kActionReverse = 1125;
inline constexpr int kOutputTypeLabel = 1175;
inline constexpr int kOutput4to20 = 1099;
inline constexpr int kOutput0to20 = 1123;
inline constexpr int kOutputRelay = 1126;
inline constexpr int kOutputLimitEdit = 1119;
inline constexpr int kOutputLimitSpin = 1096;
inline constexpr int kOutputLimitLabel = 1177;
inline constexpr int kManual = 1018;
inline constexpr int kBoxPowerOn = 1185;
inline constexpr int kPowerOnZero = 1127;
inline constexpr int kPowerOnLast = 1128;
inline constexpr int kWriteOutputBox = 1180;
inline constexpr int kBoxDigitalInput = 1178;
inline constexpr int kDigitalInput = 1121;
inline constexpr int kDigitalInputLabel = 1183;
inline constexpr int kWriteDigitalInputBox = 1184;
inline constexpr int kVersion = 1200;
} // namespace cfg2

// Serial retransmission page (TQ100 only).
inline constexpr int IDD_SERIAL_RETRANSMISSION = 217;
namespace retx {
inline constexpr int kBoxPort = 1238;
inline constexpr int kAddressEdit = 1191;
inline constexpr int kAddressSpin = 1192;
inline constexpr int kAddressLabel = 1193;
inline constexpr int kBaud = 1016;
inline constexpr int kBaudLabel = 1194;
inline constexpr int kParityBox = 1195;
inline constexpr int kParityNone = 1017;
inline constexpr int kParityOdd = 1019;
inline constexpr int kParityEven = 1018;
inline constexpr int kDelay = 1235;
inline constexpr int kDelayLabel = 1234;
inline constexpr int kWriteAddress = 1157;
inline constexpr int kWriteBaud = 1161;
inline constexpr int kWriteParity = 1156;
inline constexpr int kWriteDelay = 1236;
inline constexpr int kBoxAnalog = 1237;
inline constexpr int kVariable = 1020;
inline constexpr int kVariableLabel = 1200;
inline constexpr int kSignal = 1021;
inline constexpr int kSignalLabel = 1199;
inline constexpr int kLowLimit = 1103;
inline constexpr int kLowLimitLabel = 1159;
inline constexpr int kHighLimit = 1104;
inline constexpr int kHighLimitLabel = 1160;
inline constexpr int kWriteVariable = 1162;
inline constexpr int kWriteSignal = 1163;
inline constexpr int kWriteLowLimit = 1154;
inline constexpr int kWriteHighLimit = 1155;
inline constexpr int kWriteAnalogBox = 1239;
} // namespace retx
