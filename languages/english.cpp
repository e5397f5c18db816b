// English texts.
#include "languages/LanguageTable.h"

namespace {

constexpr LanguageText kTexts[] = {
    // Main menu
    {IDS_MENU_LOAD_CONFIG, "Open configuration..."},
    {IDS_MENU_SAVE_CONFIG, "Save configuration..."},
    {IDS_MENU_READ_ALL, "Read all parameters"},
    {IDS_MENU_WRITE_ALL, "Write all parameters"},
    {IDS_MENU_LANGUAGE, "Language..."},
    {IDS_MENU_EXIT, "Exit"},
    {IDS_MENU_FILE, "File"},
    {IDS_MENU_INTERFACE, "Interface"},
    {IDS_MENU_DETECT, "Detect controller"},
    {IDS_MENU_COMMUNICATION, "Communication"},
    {IDS_MENU_ABOUT, "About Calora..."},
    {IDS_MENU_HELP, "Help"},
    {IDS_MSG_OPEN_BY_HAND, "Nothing on this computer could open it. Please open it by hand:\n"},
    {IDS_MENU_DETECT_LINE, "Detect controller and line settings"},
    {IDS_SETTINGS, "Settings..."},
    // Parameter names
    {IDS_PARAM_INPUT_BIAS, "Input bias"},
    {IDS_PARAM_SETPOINT, "Setpoint"},
    {IDS_PARAM_SP_HIGH_LIMIT, "Setpoint high limit"},
    {IDS_PARAM_SP_LOW_LIMIT, "Setpoint low limit"},
    {IDS_PARAM_PROP_BAND, "Proportional band"},
    {IDS_PARAM_INTEGRAL_TIME, "Integral time"},
    {IDS_PARAM_DERIVATIVE_TIME, "Derivative time"},
    {IDS_PARAM_CYCLE_TIME, "Cycle time"},
    {IDS_PARAM_INTEGRAL_LIMIT, "Integral limit"},
    {IDS_PARAM_HYSTERESIS, "Hysteresis"},
    {IDS_PARAM_SETPOINT2, "Second setpoint"},
    {IDS_PARAM_TUNE_PERCENT, "Self-tuning setpoint (%)"},
    {IDS_PARAM_AL1_TYPE, "Alarm 1 type"},
    {IDS_PARAM_AL1_SETPOINT, "Alarm 1 setpoint"},
    {IDS_PARAM_AL1_HYSTERESIS, "Alarm 1 hysteresis"},
    {IDS_PARAM_AL2_TYPE, "Alarm 2 type"},
    {IDS_PARAM_AL2_SETPOINT, "Alarm 2 setpoint"},
    {IDS_PARAM_AL2_HYSTERESIS, "Alarm 2 hysteresis"},
    {IDS_PARAM_DECIMAL_POINT, "Decimal point"},
    {IDS_PARAM_CONTROL_ACTION, "Control action"},
    {IDS_PARAM_OUTPUT_LIMIT, "Output limit (%)"},
    {IDS_PARAM_INPUT_FILTER, "Input filter"},
    {IDS_PARAM_OFFSET, "Offset"},
    {IDS_PARAM_INPUT_TYPE, "Input type"},
    {IDS_PARAM_DIGITAL_INPUT, "Digital input function"},
    {IDS_PARAM_MANUAL_MODE, "Manual mode"},
    {IDS_PARAM_UNIT, "Unit"},
    {IDS_PARAM_AUX, "Auxiliary parameter"},
    {IDS_PARAM_ALARM_ACTIONS, "Alarm contact action"},
    {IDS_PARITY, "Parity"},
    {IDS_BAUD_RATE, "Baud rate"},
    {IDS_PARAM_RAMP, "Setpoint ramp"},
    {IDS_PARAM_RAMP_TIME, "Ramp time"},
    {IDS_PARAM_RETX_ADDRESS, "Retransmission port address"},
    {IDS_PARAM_RETX_DELAY, "Reply delay (ms)"},
    {IDS_PARAM_RETX_VARIABLE, "Retransmitted variable"},
    {IDS_PARAM_RETX_SIGNAL, "Retransmission output signal"},
    {IDS_PARAM_RETX_LOW, "Retransmission low limit"},
    {IDS_PARAM_RETX_HIGH, "Retransmission high limit"},
    // Page tabs
    {IDS_PAGE_CONFIG, "Configuration"},
    {IDS_PAGE_PARAMETERS, "Live view"},
    {IDS_PAGE_CONFIG2, "Input/Output"},
    {IDS_PAGE_MULTIPLE, "Monitoring"},
    {IDS_PAGE_RETRANSMISSION, "Retransmission"},
    // Configuration page
    {IDS_LABEL_AL1_ACTION, "Alarm 1 contact"},
    {IDS_BOX_SETPOINT_PID, "Setpoint and PID"},
    {IDS_BOX_ALARMS, "Alarms"},
    {IDS_LABEL_AL2_ACTION, "Alarm 2 contact"},
    {IDS_ALARM_NONE, "Disabled"},
    {IDS_ALARM_ABS_HIGH, "Absolute high"},
    {IDS_ALARM_ABS_LOW, "Absolute low"},
    {IDS_ALARM_DEV_HIGH, "Deviation high"},
    {IDS_ALARM_DEV_LOW, "Deviation low"},
    {IDS_ALARM_BAND_IN, "Inside band"},
    {IDS_ALARM_BAND_OUT, "Outside band"},
    {IDS_LABEL_ALARM_HOLD, "Hold"},
    {IDS_BOX_RAMP_MODE, "Ramp mode"},
    {IDS_LABEL_RAMP_ON, "Ramp on"},
    {IDS_LABEL_RAMP_POWER_ON, "Start at power-on"},
    {IDS_RAMP_ONE_SHOT, "One shot"},
    {IDS_RAMP_CONTINUOUS, "Continuous"},
    // Second configuration page
    {IDS_BOX_INPUT, "Input"},
    {IDS_LABEL_OUTPUT_TYPE, "Output type"},
    {IDS_BOX_OUTPUT, "Output"},
    {IDS_ACTION_DIRECT, "Direct"},
    {IDS_ACTION_REVERSE, "Reverse"},
    {IDS_BOX_DIGITAL_INPUT, "Digital input"},
    {IDS_DIGIN_NONE, "Not used"},
    {IDS_DIGIN_SETPOINT2, "Second setpoint"},
    {IDS_DIGIN_MAN_AUTO, "Manual/automatic"},
    {IDS_DIGIN_KEY_LOCK, "Keypad lock"},
    {IDS_OUTPUT_RELAY, "Relay"},
    {IDS_INFO_INPUT_RTD, "Pt100/Pt1000 input selected.\nCheck that the controller's input is "
                         "wired for a resistance thermometer."},
    {IDS_INFO_INPUT_MA, "Current input selected.\nCheck that the controller's input is wired "
                        "for a current signal (mA)."},
    {IDS_INFO_ANALOG_OUTPUT, "Analogue output selected.\nThis output type needs a controller "
                             "fitted with the analogue output option."},
    {IDS_BOX_POWER_ON_OUTPUT, "Output at power-on"},
    {IDS_POWER_ON_LAST_VALUE, "Last value"},
    {IDS_INFO_INPUT_VOLTAGE_TQ100, "Voltage input selected.\nCheck that the controller's "
                                   "input selector is set to voltage (V)."},
    {IDS_INFO_INPUT_TC_TQ100, "Thermocouple input selected.\nCheck that the controller's "
                              "input selector is set to thermocouple."},
    {IDS_INFO_INPUT_MA_TQ100, "Current input selected.\nCheck that the controller's input "
                              "selector is set to current (mA)."},
    {IDS_WRITE_ONE, "Write"},
    {IDS_WRITE_GROUP, "Write group"},
    // Multiple-controller page
    {IDS_MSG_EMPTY_NAME, "The name or unit cannot be empty."},
    {IDS_MSG_DUPLICATE_NAME, "Another controller already has this name."},
    {IDS_DEFAULT_ZONE_NAME, "Zone"},
    {IDS_LABEL_ZONES, "Number of zones"},
    {IDS_LABEL_SAMPLING, "Sampling time (min:s)"},
    {IDS_LABEL_RECORDING, "Recording"},
    {IDS_RECORD_NONE, "No recording"},
    {IDS_RECORD_ONE_FILE, "One file"},
    {IDS_RECORD_FILE_PER_CONTROLLER, "One file per controller"},
    {IDS_LABEL_CONTROLLERS, "Controllers"},
    // Retransmission page and connection settings
    {IDS_PARITY_EVEN, "Even"},
    {IDS_PARITY_ODD, "Odd"},
    {IDS_PARITY_NONE, "None"},
    {IDS_TCP_PORT, "TCP port"},
    {IDS_MODBUS_ADDRESS, "Modbus address"},
    {IDS_MSG_IP_INCOMPLETE, "The IP address is incomplete. Fill in all four fields."},
    {IDS_BOX_RETX_PORT, "Retransmission serial port"},
    {IDS_BOX_RETX_ANALOG, "Analogue retransmission"},
    {IDS_LABEL_RETX_VARIABLE, "Variable"},
    {IDS_LABEL_RETX_SIGNAL, "Output signal"},
    {IDS_LABEL_RETX_LOW, "Low limit"},
    {IDS_LABEL_RETX_HIGH, "High limit"},
    {IDS_INFO_CURRENT_OUTPUT, "Current output signal selected.\nCheck that the retransmission "
                              "output is wired for current (mA)."},
    {IDS_INFO_VOLTAGE_OUTPUT, "Voltage output signal selected.\nCheck that the retransmission "
                              "output is wired for voltage (V)."},
    // Common buttons and value dialogs
    {IDS_LABEL_NEW_VALUE, "New value"},
    {IDS_OK, "OK"},
    {IDS_CANCEL, "Cancel"},
    // Bus task dialog
    {IDS_TASK_SEARCHING, "Searching for a controller"},
    {IDS_MSG_NO_MASTER, "Communication cannot start. Check the interface and port settings."},
    {IDS_TASK_BUTTON_CLOSE, "Close"},
    {IDS_TASK_BUTTON_CANCEL, "Cancel"},
    {IDS_TASK_SEARCH_CANCELLED, "Search cancelled."},
    {IDS_TASK_FOUND, "Controller found."},
    {IDS_TASK_NO_ANSWER, "No controller answered."},
    {IDS_MSG_PORT_NOT_OPEN, "The communication port cannot be opened."},
    {IDS_TASK_READING, "Reading parameters"},
    {IDS_TASK_WRITING, "Writing parameters"},
    {IDS_TASK_WRITE_CANCELLED, "Writing cancelled."},
    {IDS_TASK_READ_CANCELLED, "Reading cancelled."},
    {IDS_TASK_READ_DONE, "Parameters read successfully."},
    {IDS_MSG_READ_EXCEPTION, "The controller refused the read request."},
    {IDS_TASK_WRITE_DONE, "Parameters written successfully."},
    {IDS_MSG_WRITE_REFUSED, "The controller refused the value of:"},
    {IDS_MSG_ECHO_OUT_OF_RANGE, "The controller returned a value out of range:"},
    {IDS_TASK_STARTING, "Starting communication..."},
    // Single writes and live view
    {IDS_ASK_START_COMM, "Communication with the controllers will start now. Continue?"},
    {IDS_MSG_POLL_COMM_ERROR, "Communication error while reading the controller."},
    {IDS_ASK_APPLY_ALL, "Apply the change to all controllers?"},
    {IDS_MSG_WRITE_FAILED, "The value could not be written"},
    {IDS_MSG_WRITE_DONE, "The value was written successfully."},
    {IDS_MSG_NOTHING_CHOSEN, "Nothing is chosen for:"},
    // Configuration files
    {IDS_CONFIG_FILE_STEM, "Configuration"},
    {IDS_CONFIG_FILE_FILTER, "Calora configuration "},
    {IDS_MSG_CONFIG_BAD_FORMAT, "The file is not a valid configuration file, or it is "
                                "incomplete."},
    {IDS_MSG_CONFIG_BAD_VERSION, "The file was saved in a format this version cannot read."},
    {IDS_MSG_CONFIG_FILE_ERROR, "The configuration file could not be read or written."},
    {IDS_MSG_CONFIG_LOADED, "Configuration loaded."},
    {IDS_MSG_CONFIG_SAVED, "Configuration saved."},
    {IDS_MSG_CONFIG_VALUES_SKIPPED, "These values of the file lie outside their parameter's "
                                    "range and were not loaded. Each parameter keeps the "
                                    "value after the arrow:"},
    // Monitoring
    {IDS_MSG_MONITOR_START_FAILED, "Monitoring could not be started."},
    {IDS_MSG_LOG_FILE_FAILED, "A log file could not be opened. This recording will not be "
                              "logged."},
    {IDS_BAR_COMM_ERROR, "No communication"},
    {IDS_VIEW_OVERVIEW, "Controllers overview"},
    {IDS_VIEW_BAR_GRAPH, "Bar graph"},
    {IDS_VIEW_LINE_GRAPH, "Line graph"},
    // Line graph and graph files
    {IDS_MSG_GRAPH_OPEN_FAILED, "The file cannot be opened:\n"},
    {IDS_MSG_GRAPH_CREATE_FAILED, "The file cannot be created:\n"},
    {IDS_MSG_GRAPH_WRITE_FAILED, "Error while writing the file:\n"},
    {IDS_GRAPH_CURVES, "Curves..."},
    {IDS_GRAPH_RANGE, "Range..."},
    {IDS_CURVES_AVAILABLE, "Available"},
    {IDS_CURVES_SELECTED, "Selected"},
    {IDS_CURVES_COLOUR, "Colour"},
};

static_assert(CoversEveryStringId(kTexts), "every string number needs exactly one text");

} // namespace

CALORA_LANGUAGE_EXPORT const char* DllLengGetNombreIdioma() {
    return "English";
}

CALORA_LANGUAGE_EXPORT const char* DllLengGetTexto(int id) {
    return FindLanguageText(kTexts, id);
}
