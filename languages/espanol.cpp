// Spanish texts.
#include "languages/LanguageTable.h"

namespace {

constexpr LanguageText kTexts[] = {
    // Main menu
    {IDS_MENU_LOAD_CONFIG, "Abrir configuración..."},
    {IDS_MENU_SAVE_CONFIG, "Guardar configuración..."},
    {IDS_MENU_READ_ALL, "Leer todos los parámetros"},
    {IDS_MENU_WRITE_ALL, "Escribir todos los parámetros"},
    {IDS_MENU_LANGUAGE, "Idioma..."},
    {IDS_MENU_EXIT, "Salir"},
    {IDS_MENU_FILE, "Archivo"},
    {IDS_MENU_INTERFACE, "Interfaz"},
    {IDS_MENU_DETECT, "Detectar regulador"},
    {IDS_MENU_COMMUNICATION, "Comunicación"},
    {IDS_MENU_ABOUT, "Acerca de Calora..."},
    {IDS_MENU_HELP, "Ayuda"},
    {IDS_MSG_OPEN_BY_HAND, "Ningún programa de este ordenador ha podido abrirlo. Ábralo a mano:\n"},
    {IDS_MENU_DETECT_LINE, "Detectar regulador y parámetros de línea"},
    {IDS_SETTINGS, "Configurar..."},
    // Parameter names
    {IDS_PARAM_INPUT_BIAS, "Corrección de entrada"},
    {IDS_PARAM_SETPOINT, "Consigna"},
    {IDS_PARAM_SP_HIGH_LIMIT, "Límite superior de consigna"},
    {IDS_PARAM_SP_LOW_LIMIT, "Límite inferior de consigna"},
    {IDS_PARAM_PROP_BAND, "Banda proporcional"},
    {IDS_PARAM_INTEGRAL_TIME, "Tiempo integral"},
    {IDS_PARAM_DERIVATIVE_TIME, "Tiempo derivativo"},
    {IDS_PARAM_CYCLE_TIME, "Tiempo de ciclo"},
    {IDS_PARAM_INTEGRAL_LIMIT, "Límite integral"},
    {IDS_PARAM_HYSTERESIS, "Histéresis"},
    {IDS_PARAM_SETPOINT2, "Segunda consigna"},
    {IDS_PARAM_TUNE_PERCENT, "Consigna de autoajuste (%)"},
    {IDS_PARAM_AL1_TYPE, "Tipo de alarma 1"},
    {IDS_PARAM_AL1_SETPOINT, "Consigna de alarma 1"},
    {IDS_PARAM_AL1_HYSTERESIS, "Histéresis de alarma 1"},
    {IDS_PARAM_AL2_TYPE, "Tipo de alarma 2"},
    {IDS_PARAM_AL2_SETPOINT, "Consigna de alarma 2"},
    {IDS_PARAM_AL2_HYSTERESIS, "Histéresis de alarma 2"},
    {IDS_PARAM_DECIMAL_POINT, "Punto decimal"},
    {IDS_PARAM_CONTROL_ACTION, "Acción de control"},
    {IDS_PARAM_OUTPUT_LIMIT, "Límite de salida (%)"},
    {IDS_PARAM_INPUT_FILTER, "Filtro de entrada"},
    {IDS_PARAM_OFFSET, "Offset"},
    {IDS_PARAM_INPUT_TYPE, "Tipo de entrada"},
    {IDS_PARAM_DIGITAL_INPUT, "Función de la entrada digital"},
    {IDS_PARAM_MANUAL_MODE, "Modo manual"},
    {IDS_PARAM_UNIT, "Unidad"},
    {IDS_PARAM_AUX, "Parámetro auxiliar"},
    {IDS_PARAM_ALARM_ACTIONS, "Acción de los contactos de alarma"},
    {IDS_PARITY, "Paridad"},
    {IDS_BAUD_RATE, "Velocidad (baudios)"},
    {IDS_PARAM_RAMP, "Rampa de consigna"},
    {IDS_PARAM_RAMP_TIME, "Tiempo de rampa"},
    {IDS_PARAM_RETX_ADDRESS, "Dirección del puerto de retransmisión"},
    {IDS_PARAM_RETX_DELAY, "Retardo de respuesta (ms)"},
    {IDS_PARAM_RETX_VARIABLE, "Variable retransmitida"},
    {IDS_PARAM_RETX_SIGNAL, "Señal de salida de retransmisión"},
    {IDS_PARAM_RETX_LOW, "Límite inferior de retransmisión"},
    {IDS_PARAM_RETX_HIGH, "Límite superior de retransmisión"},
    // Page tabs
    {IDS_PAGE_CONFIG, "Configuración"},
    {IDS_PAGE_PARAMETERS, "Vista en directo"},
    {IDS_PAGE_CONFIG2, "Entrada/Salida"},
    {IDS_PAGE_MULTIPLE, "Monitorización"},
    {IDS_PAGE_RETRANSMISSION, "Retransmisión"},
    // Configuration page
    {IDS_LABEL_AL1_ACTION, "Contacto de alarma 1"},
    {IDS_BOX_SETPOINT_PID, "Consigna y PID"},
    {IDS_BOX_ALARMS, "Alarmas"},
    {IDS_LABEL_AL2_ACTION, "Contacto de alarma 2"},
    {IDS_ALARM_NONE, "Desactivada"},
    {IDS_ALARM_ABS_HIGH, "Absoluta de máxima"},
    {IDS_ALARM_ABS_LOW, "Absoluta de mínima"},
    {IDS_ALARM_DEV_HIGH, "Desviación de máxima"},
    {IDS_ALARM_DEV_LOW, "Desviación de mínima"},
    {IDS_ALARM_BAND_IN, "Dentro de banda"},
    {IDS_ALARM_BAND_OUT, "Fuera de banda"},
    {IDS_LABEL_ALARM_HOLD, "Retención"},
    {IDS_BOX_RAMP_MODE, "Modo de rampa"},
    {IDS_LABEL_RAMP_ON, "Rampa activada"},
    {IDS_LABEL_RAMP_POWER_ON, "Iniciar al encender"},
    {IDS_RAMP_ONE_SHOT, "Una vez"},
    {IDS_RAMP_CONTINUOUS, "Continua"},
    // Second configuration page
    {IDS_BOX_INPUT, "Entrada"},
    {IDS_LABEL_OUTPUT_TYPE, "Tipo de salida"},
    {IDS_BOX_OUTPUT, "Salida"},
    {IDS_ACTION_DIRECT, "Directa"},
    {IDS_ACTION_REVERSE, "Inversa"},
    {IDS_BOX_DIGITAL_INPUT, "Entrada digital"},
    {IDS_DIGIN_NONE, "Sin uso"},
    {IDS_DIGIN_SETPOINT2, "Segunda consigna"},
    {IDS_DIGIN_MAN_AUTO, "Manual/automático"},
    {IDS_DIGIN_KEY_LOCK, "Bloqueo del teclado"},
    {IDS_OUTPUT_RELAY, "Relé"},
    {IDS_INFO_INPUT_RTD, "Entrada Pt100/Pt1000 seleccionada.\nCompruebe que la entrada del "
                         "regulador está cableada para una termorresistencia."},
    {IDS_INFO_INPUT_MA, "Entrada de corriente seleccionada.\nCompruebe que la entrada del "
                        "regulador está cableada para una señal de corriente (mA)."},
    {IDS_INFO_ANALOG_OUTPUT, "Salida analógica seleccionada.\nEste tipo de salida requiere un "
                             "regulador con la opción de salida analógica."},
    {IDS_BOX_POWER_ON_OUTPUT, "Salida al encender"},
    {IDS_POWER_ON_LAST_VALUE, "Último valor"},
    {IDS_INFO_INPUT_VOLTAGE_TQ100, "Entrada de tensión seleccionada.\nCompruebe que el "
                                   "selector de entrada del regulador está en tensión (V)."},
    {IDS_INFO_INPUT_TC_TQ100, "Entrada de termopar seleccionada.\nCompruebe que el selector "
                              "de entrada del regulador está en termopar."},
    {IDS_INFO_INPUT_MA_TQ100, "Entrada de corriente seleccionada.\nCompruebe que el selector "
                              "de entrada del regulador está en corriente (mA)."},
    {IDS_WRITE_ONE, "Escribir"},
    {IDS_WRITE_GROUP, "Escribir grupo"},
    // Multiple-controller page
    {IDS_MSG_EMPTY_NAME, "El nombre o la unidad no pueden estar vacíos."},
    {IDS_MSG_DUPLICATE_NAME, "Otro regulador ya tiene este nombre."},
    {IDS_DEFAULT_ZONE_NAME, "Zona"},
    {IDS_LABEL_ZONES, "Número de zonas"},
    {IDS_LABEL_SAMPLING, "Tiempo de muestreo (min:s)"},
    {IDS_LABEL_RECORDING, "Registro"},
    {IDS_RECORD_NONE, "Sin registro"},
    {IDS_RECORD_ONE_FILE, "Un archivo"},
    {IDS_RECORD_FILE_PER_CONTROLLER, "Un archivo por regulador"},
    {IDS_LABEL_CONTROLLERS, "Reguladores"},
    // Retransmission page and connection settings
    {IDS_PARITY_EVEN, "Par"},
    {IDS_PARITY_ODD, "Impar"},
    {IDS_PARITY_NONE, "Ninguna"},
    {IDS_TCP_PORT, "Puerto TCP"},
    {IDS_MODBUS_ADDRESS, "Dirección Modbus"},
    {IDS_MSG_IP_INCOMPLETE, "La dirección IP está incompleta. Rellene los cuatro campos."},
    {IDS_BOX_RETX_PORT, "Puerto serie de retransmisión"},
    {IDS_BOX_RETX_ANALOG, "Retransmisión analógica"},
    {IDS_LABEL_RETX_VARIABLE, "Variable"},
    {IDS_LABEL_RETX_SIGNAL, "Señal de salida"},
    {IDS_LABEL_RETX_LOW, "Límite inferior"},
    {IDS_LABEL_RETX_HIGH, "Límite superior"},
    {IDS_INFO_CURRENT_OUTPUT, "Señal de corriente seleccionada.\nCompruebe que la salida de "
                              "retransmisión está cableada para corriente (mA)."},
    {IDS_INFO_VOLTAGE_OUTPUT, "Señal de tensión seleccionada.\nCompruebe que la salida de "
                              "retransmisión está cableada para tensión (V)."},
    // Common buttons and value dialogs
    {IDS_LABEL_NEW_VALUE, "Nuevo valor"},
    {IDS_OK, "Aceptar"},
    {IDS_CANCEL, "Cancelar"},
    // Bus task dialog
    {IDS_TASK_SEARCHING, "Buscando regulador"},
    {IDS_MSG_NO_MASTER, "No se puede iniciar la comunicación. Compruebe la interfaz y el "
                        "puerto."},
    {IDS_TASK_BUTTON_CLOSE, "Cerrar"},
    {IDS_TASK_BUTTON_CANCEL, "Cancelar"},
    {IDS_TASK_SEARCH_CANCELLED, "Búsqueda cancelada."},
    {IDS_TASK_FOUND, "Regulador encontrado."},
    {IDS_TASK_NO_ANSWER, "Ningún regulador ha respondido."},
    {IDS_MSG_PORT_NOT_OPEN, "No se puede abrir el puerto de comunicaciones."},
    {IDS_TASK_READING, "Leyendo parámetros"},
    {IDS_TASK_WRITING, "Escribiendo parámetros"},
    {IDS_TASK_WRITE_CANCELLED, "Escritura cancelada."},
    {IDS_TASK_READ_CANCELLED, "Lectura cancelada."},
    {IDS_TASK_READ_DONE, "Parámetros leídos correctamente."},
    {IDS_MSG_READ_EXCEPTION, "El regulador ha rechazado la petición de lectura."},
    {IDS_TASK_WRITE_DONE, "Parámetros escritos correctamente."},
    {IDS_MSG_WRITE_REFUSED, "El regulador ha rechazado el valor de:"},
    {IDS_MSG_ECHO_OUT_OF_RANGE, "El regulador ha devuelto un valor fuera de rango:"},
    {IDS_TASK_STARTING, "Iniciando la comunicación..."},
    // Single writes and live view
    {IDS_ASK_START_COMM, "Se va a iniciar la comunicación con los reguladores. ¿Continuar?"},
    {IDS_MSG_POLL_COMM_ERROR, "Error de comunicación al leer el regulador."},
    {IDS_ASK_APPLY_ALL, "¿Aplicar el cambio a todos los reguladores?"},
    {IDS_MSG_WRITE_FAILED, "No se ha podido escribir el valor"},
    {IDS_MSG_WRITE_DONE, "El valor se ha escrito correctamente."},
    {IDS_MSG_NOTHING_CHOSEN, "No hay nada elegido en:"},
    // Configuration files
    {IDS_CONFIG_FILE_STEM, "Configuracion"},
    {IDS_CONFIG_FILE_FILTER, "Configuración de Calora "},
    {IDS_MSG_CONFIG_BAD_FORMAT, "El archivo no es un archivo de configuración válido o está "
                                "incompleto."},
    {IDS_MSG_CONFIG_BAD_VERSION, "El archivo tiene un formato que esta versión no puede leer."},
    {IDS_MSG_CONFIG_FILE_ERROR, "No se ha podido leer o escribir el archivo de configuración."},
    {IDS_MSG_CONFIG_LOADED, "Configuración cargada."},
    {IDS_MSG_CONFIG_SAVED, "Configuración guardada."},
    {IDS_MSG_CONFIG_VALUES_SKIPPED, "Estos valores del archivo están fuera del rango de su "
                                    "parámetro y no se han cargado. Cada parámetro conserva "
                                    "el valor que sigue a la flecha:"},
    // Monitoring
    {IDS_MSG_MONITOR_START_FAILED, "No se ha podido iniciar la monitorización."},
    {IDS_MSG_LOG_FILE_FAILED, "No se ha podido abrir un archivo de registro. Esta grabación no "
                              "se registrará."},
    {IDS_BAR_COMM_ERROR, "Sin comunicación"},
    {IDS_VIEW_OVERVIEW, "Vista general de reguladores"},
    {IDS_VIEW_BAR_GRAPH, "Gráfico de barras"},
    {IDS_VIEW_LINE_GRAPH, "Gráfico de líneas"},
    // Line graph and graph files
    {IDS_MSG_GRAPH_OPEN_FAILED, "No se puede abrir el archivo:\n"},
    {IDS_MSG_GRAPH_CREATE_FAILED, "No se puede crear el archivo:\n"},
    {IDS_MSG_GRAPH_WRITE_FAILED, "Error al escribir el archivo:\n"},
    {IDS_GRAPH_CURVES, "Curvas..."},
    {IDS_GRAPH_RANGE, "Rango..."},
    {IDS_CURVES_AVAILABLE, "Disponibles"},
    {IDS_CURVES_SELECTED, "Seleccionadas"},
    {IDS_CURVES_COLOUR, "Color"},
};

static_assert(CoversEveryStringId(kTexts), "every string number needs exactly one text");

} // namespace

CALORA_LANGUAGE_EXPORT const char* DllLengGetNombreIdioma() {
    return "Español";
}

CALORA_LANGUAGE_EXPORT const char* DllLengGetTexto(int id) {
    return FindLanguageText(kTexts, id);
}
