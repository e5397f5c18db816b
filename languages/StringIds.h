#pragma once

// The numbers of every text the program shows. Each language library holds a text for each
// of them; the program code names them by these constants, never by bare numbers.
// Numbers not listed here (12, 45, 60, 66, 100, 113) are not used by the program.
//
// One entry per line: X(constant, number) followed by where the text appears.
// clang-format off
#define CALORA_STRING_IDS(X) \
    /* Main menu */ \
    X(IDS_MENU_LOAD_CONFIG, 2)             /* File: load a configuration file */ \
    X(IDS_MENU_SAVE_CONFIG, 3)             /* File: save a configuration file */ \
    X(IDS_MENU_READ_ALL, 4)                /* File: read all parameters from the controller */ \
    X(IDS_MENU_WRITE_ALL, 5)               /* File: write all parameters to the controller */ \
    X(IDS_MENU_LANGUAGE, 6)                /* File: choose the language */ \
    X(IDS_MENU_EXIT, 7)                    /* File: close the program */ \
    X(IDS_MENU_FILE, 8)                    /* first popup title; "File" button of the line graph and viewer */ \
    X(IDS_MENU_INTERFACE, 9)               /* Interface submenu title */ \
    X(IDS_MENU_DETECT, 10)                 /* detect the controller (address scan), then read all */ \
    X(IDS_MENU_COMMUNICATION, 11)          /* second popup title */ \
    X(IDS_MENU_ABOUT, 67)                  /* "?": About box */ \
    X(IDS_MENU_HELP, 68)                   /* "?": help file */ \
    X(IDS_MSG_OPEN_BY_HAND, 190)           /* box: nothing opened the help or logs; followed by the path */ \
    X(IDS_MENU_DETECT_LINE, 69)            /* detect the controller and its line settings, then read all */ \
    X(IDS_SETTINGS, 108)                   /* connection settings command; bar graph "Configure" button */ \
    /* Parameter names (model name ids) and the page captions that reuse them */ \
    X(IDS_PARAM_INPUT_BIAS, 13)            /* register 16 */ \
    X(IDS_PARAM_SETPOINT, 14)              /* register 1 */ \
    X(IDS_PARAM_SP_HIGH_LIMIT, 15)         /* register 30 */ \
    X(IDS_PARAM_SP_LOW_LIMIT, 16)          /* register 31 */ \
    X(IDS_PARAM_PROP_BAND, 17)             /* register 8 */ \
    X(IDS_PARAM_INTEGRAL_TIME, 18)         /* register 9 */ \
    X(IDS_PARAM_DERIVATIVE_TIME, 19)       /* register 10 */ \
    X(IDS_PARAM_CYCLE_TIME, 20)            /* register 12 */ \
    X(IDS_PARAM_INTEGRAL_LIMIT, 21)        /* register 11 */ \
    X(IDS_PARAM_HYSTERESIS, 22)            /* register 33 */ \
    X(IDS_PARAM_SETPOINT2, 23)             /* register 2 */ \
    X(IDS_PARAM_TUNE_PERCENT, 24)          /* register 36: setpoint percentage for self-tuning */ \
    X(IDS_PARAM_AL1_TYPE, 25)              /* register 22 */ \
    X(IDS_PARAM_AL1_SETPOINT, 26)          /* register 5 */ \
    X(IDS_PARAM_AL1_HYSTERESIS, 35)        /* register 34 */ \
    X(IDS_PARAM_AL2_TYPE, 36)              /* register 23 */ \
    X(IDS_PARAM_AL2_SETPOINT, 37)          /* register 6 */ \
    X(IDS_PARAM_AL2_HYSTERESIS, 38)        /* register 35 */ \
    X(IDS_PARAM_DECIMAL_POINT, 40)         /* register 32 */ \
    X(IDS_PARAM_CONTROL_ACTION, 42)        /* register 24: output configuration (action) */ \
    X(IDS_PARAM_OUTPUT_LIMIT, 43)          /* register 39 */ \
    X(IDS_PARAM_INPUT_FILTER, 70)          /* register 37 */ \
    X(IDS_PARAM_OFFSET, 72)                /* register 38 */ \
    X(IDS_PARAM_INPUT_TYPE, 75)            /* register 19 */ \
    X(IDS_PARAM_DIGITAL_INPUT, 81)         /* register 28: digital input function */ \
    X(IDS_PARAM_MANUAL_MODE, 83)           /* register 26 */ \
    X(IDS_PARAM_UNIT, 84)                  /* register 20 */ \
    X(IDS_PARAM_AUX, 114)                  /* register 7: parameter without a page */ \
    X(IDS_PARAM_ALARM_ACTIONS, 115)        /* register 25: alarm contact actions */ \
    X(IDS_PARITY, 120)                     /* register 48; parity label of the serial settings */ \
    X(IDS_BAUD_RATE, 124)                  /* register 47; baud rate label of the serial settings */ \
    X(IDS_PARAM_RAMP, 134)                 /* register 29: ramp configuration; ramp box caption */ \
    X(IDS_PARAM_RAMP_TIME, 136)            /* register 40 */ \
    X(IDS_PARAM_RETX_ADDRESS, 154)         /* register 46 */ \
    X(IDS_PARAM_RETX_DELAY, 155)           /* register 49; delay label of the retransmission page */ \
    X(IDS_PARAM_RETX_VARIABLE, 156)        /* register 50 */ \
    X(IDS_PARAM_RETX_SIGNAL, 157)          /* register 51 */ \
    X(IDS_PARAM_RETX_LOW, 158)             /* register 52 */ \
    X(IDS_PARAM_RETX_HIGH, 159)            /* register 53 */ \
    /* Page tabs */ \
    X(IDS_PAGE_CONFIG, 27)                 /* configuration page (setpoint, PID, ramp, alarms) */ \
    X(IDS_PAGE_PARAMETERS, 44)             /* parameters page (live front panel) */ \
    X(IDS_PAGE_CONFIG2, 80)                /* second configuration page (input, output) */ \
    X(IDS_PAGE_MULTIPLE, 88)               /* multiple-controller page (monitoring set-up) */ \
    X(IDS_PAGE_RETRANSMISSION, 153)        /* serial retransmission page */ \
    /* Configuration page captions and lists */ \
    X(IDS_LABEL_AL1_ACTION, 71)            /* alarm 1 contact action label */ \
    X(IDS_BOX_SETPOINT_PID, 73)            /* setpoint and PID box */ \
    X(IDS_BOX_ALARMS, 74)                  /* alarms box */ \
    X(IDS_LABEL_AL2_ACTION, 79)            /* alarm 2 contact action label */ \
    X(IDS_ALARM_NONE, 85)                  /* alarm type list, entry 0 */ \
    X(IDS_ALARM_ABS_HIGH, 86)              /* alarm type list, entry 1 */ \
    X(IDS_ALARM_ABS_LOW, 87)               /* alarm type list, entry 2 */ \
    X(IDS_ALARM_DEV_HIGH, 89)              /* alarm type list, entry 3 */ \
    X(IDS_ALARM_DEV_LOW, 90)               /* alarm type list, entry 4 */ \
    X(IDS_ALARM_BAND_IN, 91)               /* alarm type list, entry 5 */ \
    X(IDS_ALARM_BAND_OUT, 92)              /* alarm type list, entry 6 */ \
    X(IDS_LABEL_ALARM_HOLD, 130)           /* alarm hold check boxes */ \
    X(IDS_BOX_RAMP_MODE, 135)              /* ramp kind box */ \
    X(IDS_LABEL_RAMP_ON, 137)              /* ramp on check box */ \
    X(IDS_LABEL_RAMP_POWER_ON, 138)        /* start ramp at power-on check box */ \
    X(IDS_RAMP_ONE_SHOT, 139)              /* ramp kind radio */ \
    X(IDS_RAMP_CONTINUOUS, 140)            /* ramp kind radio */ \
    /* Second configuration page captions, lists and hints */ \
    X(IDS_BOX_INPUT, 39)                   /* input box */ \
    X(IDS_LABEL_OUTPUT_TYPE, 41)           /* output type label */ \
    X(IDS_BOX_OUTPUT, 76)                  /* output box */ \
    X(IDS_ACTION_DIRECT, 77)               /* action radio */ \
    X(IDS_ACTION_REVERSE, 78)              /* action radio */ \
    X(IDS_BOX_DIGITAL_INPUT, 82)           /* digital input box */ \
    X(IDS_DIGIN_NONE, 93)                  /* digital input list, entry 0 */ \
    X(IDS_DIGIN_SETPOINT2, 94)             /* digital input list, entry 1 */ \
    X(IDS_DIGIN_MAN_AUTO, 95)              /* digital input list, entry 2 */ \
    X(IDS_DIGIN_KEY_LOCK, 96)              /* digital input list, entry 3 (ZI102-VA402 only) */ \
    X(IDS_OUTPUT_RELAY, 127)               /* output type radio "relay" */ \
    X(IDS_INFO_INPUT_RTD, 131)             /* hint: Pt100/Pt1000 input chosen */ \
    X(IDS_INFO_INPUT_MA, 132)              /* hint: mA input chosen (ZI102-VA402) */ \
    X(IDS_INFO_ANALOG_OUTPUT, 133)         /* hint: analogue output type chosen */ \
    X(IDS_BOX_POWER_ON_OUTPUT, 166)        /* manual output at power-on box */ \
    X(IDS_POWER_ON_LAST_VALUE, 167)        /* manual output at power-on radio "last value" */ \
    X(IDS_INFO_INPUT_VOLTAGE_TQ100, 170)   /* hint: voltage input chosen (TQ100) */ \
    X(IDS_INFO_INPUT_TC_TQ100, 171)        /* hint: thermocouple input chosen (TQ100) */ \
    X(IDS_INFO_INPUT_MA_TQ100, 172)        /* hint: mA input chosen (TQ100) */ \
    X(IDS_WRITE_ONE, 173)                  /* configuration pages: button writing one parameter */ \
    X(IDS_WRITE_GROUP, 174)                /* configuration pages: button writing a whole box */ \
    /* Multiple-controller page */ \
    X(IDS_MSG_EMPTY_NAME, 97)              /* box: a name or unit cannot be empty */ \
    X(IDS_MSG_DUPLICATE_NAME, 98)          /* box: the name is used by another row */ \
    X(IDS_DEFAULT_ZONE_NAME, 99)           /* default controller name, followed by " %d" */ \
    X(IDS_LABEL_ZONES, 101)                /* number of zones label */ \
    X(IDS_LABEL_SAMPLING, 102)             /* sampling time label */ \
    X(IDS_LABEL_RECORDING, 103)            /* recording type label */ \
    X(IDS_RECORD_NONE, 104)                /* recording type list, entry 0 */ \
    X(IDS_RECORD_ONE_FILE, 105)            /* recording type list, entry 1 */ \
    X(IDS_RECORD_FILE_PER_CONTROLLER, 106) /* recording type list, entry 2 */ \
    X(IDS_LABEL_CONTROLLERS, 119)          /* controllers list label */ \
    /* Serial retransmission page and connection settings */ \
    X(IDS_PARITY_EVEN, 121)                /* parity radio */ \
    X(IDS_PARITY_ODD, 122)                 /* parity radio */ \
    X(IDS_PARITY_NONE, 123)                /* parity radio */ \
    X(IDS_TCP_PORT, 125)                   /* TCP port label */ \
    X(IDS_MODBUS_ADDRESS, 126)             /* Modbus address label */ \
    X(IDS_MSG_IP_INCOMPLETE, 128)          /* box: the IP address is incomplete */ \
    X(IDS_BOX_RETX_PORT, 160)              /* retransmission serial port box */ \
    X(IDS_BOX_RETX_ANALOG, 161)            /* analogue retransmission box */ \
    X(IDS_LABEL_RETX_VARIABLE, 162)        /* retransmitted variable label */ \
    X(IDS_LABEL_RETX_SIGNAL, 163)          /* output signal label */ \
    X(IDS_LABEL_RETX_LOW, 164)             /* lower limit label */ \
    X(IDS_LABEL_RETX_HIGH, 165)            /* upper limit label */ \
    X(IDS_INFO_CURRENT_OUTPUT, 168)        /* hint: current retransmission signal chosen */ \
    X(IDS_INFO_VOLTAGE_OUTPUT, 169)        /* hint: voltage retransmission signal chosen */ \
    /* Common buttons and value dialogs */ \
    X(IDS_LABEL_NEW_VALUE, 116)            /* value entry dialog label */ \
    X(IDS_OK, 117)                         /* OK button */ \
    X(IDS_CANCEL, 118)                     /* Cancel button */ \
    /* Bus task dialog: titles, statuses, button */ \
    X(IDS_TASK_SEARCHING, 46)              /* scan title; status while probing an address */ \
    X(IDS_MSG_NO_MASTER, 47)               /* no master (settings incomplete); task cannot start */ \
    X(IDS_TASK_BUTTON_CLOSE, 48)           /* button once the task has ended */ \
    X(IDS_TASK_BUTTON_CANCEL, 49)          /* button while the task runs */ \
    X(IDS_TASK_SEARCH_CANCELLED, 50)       /* scan cancelled */ \
    X(IDS_TASK_FOUND, 51)                  /* controller found */ \
    X(IDS_TASK_NO_ANSWER, 52)              /* no controller found; a transaction failed */ \
    X(IDS_MSG_PORT_NOT_OPEN, 53)           /* the port cannot be used */ \
    X(IDS_TASK_READING, 54)                /* read title and status */ \
    X(IDS_TASK_WRITING, 55)                /* write title and status */ \
    X(IDS_TASK_WRITE_CANCELLED, 56)        /* write cancelled or aborted */ \
    X(IDS_TASK_READ_CANCELLED, 57)         /* read cancelled */ \
    X(IDS_TASK_READ_DONE, 58)              /* read succeeded */ \
    X(IDS_MSG_READ_EXCEPTION, 59)          /* the controller refused a read (exception answer) */ \
    X(IDS_TASK_WRITE_DONE, 61)             /* all writes done */ \
    X(IDS_MSG_WRITE_REFUSED, 62)           /* box: write refused; followed by " " and the parameter name */ \
    X(IDS_MSG_ECHO_OUT_OF_RANGE, 63)       /* box: echo out of range; followed by " ( name = value )" */ \
    X(IDS_TASK_STARTING, 129)              /* first status of a scan or transfer */ \
    /* Single writes and live view */ \
    X(IDS_ASK_START_COMM, 64)              /* question before the live view or monitoring */ \
    X(IDS_MSG_POLL_COMM_ERROR, 65)         /* box: a poll failed with a communication error */ \
    X(IDS_ASK_APPLY_ALL, 109)              /* question: apply the change to all controllers? */ \
    X(IDS_MSG_WRITE_FAILED, 110)           /* box: a write failed; may be followed by ":" and names */ \
    X(IDS_MSG_WRITE_DONE, 112)             /* box: a single write succeeded */ \
    X(IDS_MSG_NOTHING_CHOSEN, 176)         /* box: a list or radio field has no choice; followed by " " and the parameter name */ \
    /* Configuration files */ \
    X(IDS_CONFIG_FILE_STEM, 28)            /* initial file name, before ".TQ" */ \
    X(IDS_CONFIG_FILE_FILTER, 29)          /* filter label, before "(*.TQ)" */ \
    X(IDS_MSG_CONFIG_BAD_FORMAT, 30)       /* box: end of file or bad data */ \
    X(IDS_MSG_CONFIG_BAD_VERSION, 31)      /* box: bad schema */ \
    X(IDS_MSG_CONFIG_FILE_ERROR, 32)       /* box: any other file error */ \
    X(IDS_MSG_CONFIG_LOADED, 33)           /* box: configuration loaded */ \
    X(IDS_MSG_CONFIG_SAVED, 34)            /* box: configuration saved */ \
    X(IDS_MSG_CONFIG_VALUES_SKIPPED, 175)  /* box: values outside their range were not loaded; followed by one line each */ \
    /* Monitoring */ \
    X(IDS_MSG_MONITOR_START_FAILED, 107)   /* box: the polling worker could not start */ \
    X(IDS_MSG_LOG_FILE_FAILED, 111)        /* box: a log file cannot be opened */ \
    X(IDS_BAR_COMM_ERROR, 141)             /* bar graph text of a failed poll */ \
    X(IDS_VIEW_OVERVIEW, 142)              /* view chooser entry 0 */ \
    X(IDS_VIEW_BAR_GRAPH, 143)             /* view chooser entry 1 */ \
    X(IDS_VIEW_LINE_GRAPH, 144)            /* view chooser entry 2 */ \
    /* Line graph and graph files */ \
    X(IDS_MSG_GRAPH_OPEN_FAILED, 145)      /* box: followed by the file name */ \
    X(IDS_MSG_GRAPH_CREATE_FAILED, 146)    /* box: followed by the file name */ \
    X(IDS_MSG_GRAPH_WRITE_FAILED, 147)     /* box: followed by the file name */ \
    X(IDS_GRAPH_CURVES, 148)               /* "Choose" button: curve chooser */ \
    X(IDS_GRAPH_RANGE, 149)                /* "Range" button */ \
    X(IDS_CURVES_AVAILABLE, 150)           /* curve chooser label */ \
    X(IDS_CURVES_SELECTED, 151)            /* curve chooser label */ \
    X(IDS_CURVES_COLOUR, 152)              /* curve chooser label */
// clang-format on

enum StringId : int {
#define CALORA_STRING_ID_ENUM(name, number) name = number,
    CALORA_STRING_IDS(CALORA_STRING_ID_ENUM)
#undef CALORA_STRING_ID_ENUM
};

// Every number above, in the order listed; the language libraries are checked against it.
inline constexpr int kAllStringIds[] = {
#define CALORA_STRING_ID_NUMBER(name, number) number,
    CALORA_STRING_IDS(CALORA_STRING_ID_NUMBER)
#undef CALORA_STRING_ID_NUMBER
};
