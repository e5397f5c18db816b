// Italian texts.
#include "languages/LanguageTable.h"

namespace {

constexpr LanguageText kTexts[] = {
    // Main menu
    {IDS_MENU_LOAD_CONFIG, "Apri configurazione..."},
    {IDS_MENU_SAVE_CONFIG, "Salva configurazione..."},
    {IDS_MENU_READ_ALL, "Leggi tutti i parametri"},
    {IDS_MENU_WRITE_ALL, "Scrivi tutti i parametri"},
    {IDS_MENU_LANGUAGE, "Lingua..."},
    {IDS_MENU_EXIT, "Esci"},
    {IDS_MENU_FILE, "File"},
    {IDS_MENU_INTERFACE, "Interfaccia"},
    {IDS_MENU_DETECT, "Rileva regolatore"},
    {IDS_MENU_COMMUNICATION, "Comunicazione"},
    {IDS_MENU_ABOUT, "Informazioni su Calora..."},
    {IDS_MENU_HELP, "Guida"},
    {IDS_MSG_OPEN_BY_HAND,
     "Nessun programma di questo computer è riuscito ad aprirlo. Aprirlo a mano:\n"},
    {IDS_MENU_DETECT_LINE, "Rileva regolatore e parametri di linea"},
    {IDS_SETTINGS, "Impostazioni..."},
    // Parameter names
    {IDS_PARAM_INPUT_BIAS, "Correzione ingresso"},
    {IDS_PARAM_SETPOINT, "Setpoint"},
    {IDS_PARAM_SP_HIGH_LIMIT, "Limite superiore setpoint"},
    {IDS_PARAM_SP_LOW_LIMIT, "Limite inferiore setpoint"},
    {IDS_PARAM_PROP_BAND, "Banda proporzionale"},
    {IDS_PARAM_INTEGRAL_TIME, "Tempo integrale"},
    {IDS_PARAM_DERIVATIVE_TIME, "Tempo derivativo"},
    {IDS_PARAM_CYCLE_TIME, "Tempo di ciclo"},
    {IDS_PARAM_INTEGRAL_LIMIT, "Limite integrale"},
    {IDS_PARAM_HYSTERESIS, "Isteresi"},
    {IDS_PARAM_SETPOINT2, "Secondo setpoint"},
    {IDS_PARAM_TUNE_PERCENT, "Setpoint di autotaratura (%)"},
    {IDS_PARAM_AL1_TYPE, "Tipo allarme 1"},
    {IDS_PARAM_AL1_SETPOINT, "Setpoint allarme 1"},
    {IDS_PARAM_AL1_HYSTERESIS, "Isteresi allarme 1"},
    {IDS_PARAM_AL2_TYPE, "Tipo allarme 2"},
    {IDS_PARAM_AL2_SETPOINT, "Setpoint allarme 2"},
    {IDS_PARAM_AL2_HYSTERESIS, "Isteresi allarme 2"},
    {IDS_PARAM_DECIMAL_POINT, "Punto decimale"},
    {IDS_PARAM_CONTROL_ACTION, "Azione di regolazione"},
    {IDS_PARAM_OUTPUT_LIMIT, "Limite uscita (%)"},
    {IDS_PARAM_INPUT_FILTER, "Filtro ingresso"},
    {IDS_PARAM_OFFSET, "Offset"},
    {IDS_PARAM_INPUT_TYPE, "Tipo ingresso"},
    {IDS_PARAM_DIGITAL_INPUT, "Funzione ingresso digitale"},
    {IDS_PARAM_MANUAL_MODE, "Modo manuale"},
    {IDS_PARAM_UNIT, "Unità"},
    {IDS_PARAM_AUX, "Parametro ausiliario"},
    {IDS_PARAM_ALARM_ACTIONS, "Azione contatti di allarme"},
    {IDS_PARITY, "Parità"},
    {IDS_BAUD_RATE, "Velocità (baud)"},
    {IDS_PARAM_RAMP, "Rampa di setpoint"},
    {IDS_PARAM_RAMP_TIME, "Tempo di rampa"},
    {IDS_PARAM_RETX_ADDRESS, "Indirizzo porta di ritrasmissione"},
    {IDS_PARAM_RETX_DELAY, "Ritardo di risposta (ms)"},
    {IDS_PARAM_RETX_VARIABLE, "Variabile ritrasmessa"},
    {IDS_PARAM_RETX_SIGNAL, "Segnale di uscita ritrasmissione"},
    {IDS_PARAM_RETX_LOW, "Limite inferiore ritrasmissione"},
    {IDS_PARAM_RETX_HIGH, "Limite superiore ritrasmissione"},
    // Page tabs
    {IDS_PAGE_CONFIG, "Configurazione"},
    {IDS_PAGE_PARAMETERS, "Vista in tempo reale"},
    {IDS_PAGE_CONFIG2, "Ingresso/Uscita"},
    {IDS_PAGE_MULTIPLE, "Monitoraggio"},
    {IDS_PAGE_RETRANSMISSION, "Ritrasmissione"},
    // Configuration page
    {IDS_LABEL_AL1_ACTION, "Contatto allarme 1"},
    {IDS_BOX_SETPOINT_PID, "Setpoint e PID"},
    {IDS_BOX_ALARMS, "Allarmi"},
    {IDS_LABEL_AL2_ACTION, "Contatto allarme 2"},
    {IDS_ALARM_NONE, "Disabilitato"},
    {IDS_ALARM_ABS_HIGH, "Assoluto di massima"},
    {IDS_ALARM_ABS_LOW, "Assoluto di minima"},
    {IDS_ALARM_DEV_HIGH, "Deviazione di massima"},
    {IDS_ALARM_DEV_LOW, "Deviazione di minima"},
    {IDS_ALARM_BAND_IN, "Dentro banda"},
    {IDS_ALARM_BAND_OUT, "Fuori banda"},
    {IDS_LABEL_ALARM_HOLD, "Memoria"},
    {IDS_BOX_RAMP_MODE, "Modo rampa"},
    {IDS_LABEL_RAMP_ON, "Rampa attiva"},
    {IDS_LABEL_RAMP_POWER_ON, "Avvio all'accensione"},
    {IDS_RAMP_ONE_SHOT, "Singola"},
    {IDS_RAMP_CONTINUOUS, "Continua"},
    // Second configuration page
    {IDS_BOX_INPUT, "Ingresso"},
    {IDS_LABEL_OUTPUT_TYPE, "Tipo uscita"},
    {IDS_BOX_OUTPUT, "Uscita"},
    {IDS_ACTION_DIRECT, "Diretta"},
    {IDS_ACTION_REVERSE, "Inversa"},
    {IDS_BOX_DIGITAL_INPUT, "Ingresso digitale"},
    {IDS_DIGIN_NONE, "Non usato"},
    {IDS_DIGIN_SETPOINT2, "Secondo setpoint"},
    {IDS_DIGIN_MAN_AUTO, "Manuale/automatico"},
    {IDS_DIGIN_KEY_LOCK, "Blocco tastiera"},
    {IDS_OUTPUT_RELAY, "Relè"},
    {IDS_INFO_INPUT_RTD, "Ingresso Pt100/Pt1000 selezionato.\nVerificare che l'ingresso del "
                         "regolatore sia cablato per una termoresistenza."},
    {IDS_INFO_INPUT_MA, "Ingresso in corrente selezionato.\nVerificare che l'ingresso del "
                        "regolatore sia cablato per un segnale in corrente (mA)."},
    {IDS_INFO_ANALOG_OUTPUT, "Uscita analogica selezionata.\nQuesto tipo di uscita richiede un "
                             "regolatore con l'opzione uscita analogica."},
    {IDS_BOX_POWER_ON_OUTPUT, "Uscita all'accensione"},
    {IDS_POWER_ON_LAST_VALUE, "Ultimo valore"},
    {IDS_INFO_INPUT_VOLTAGE_TQ100, "Ingresso in tensione selezionato.\nVerificare che il "
                                   "selettore d'ingresso del regolatore sia su tensione (V)."},
    {IDS_INFO_INPUT_TC_TQ100, "Ingresso termocoppia selezionato.\nVerificare che il selettore "
                              "d'ingresso del regolatore sia su termocoppia."},
    {IDS_INFO_INPUT_MA_TQ100, "Ingresso in corrente selezionato.\nVerificare che il selettore "
                              "d'ingresso del regolatore sia su corrente (mA)."},
    {IDS_WRITE_ONE, "Scrivi"},
    {IDS_WRITE_GROUP, "Scrivi gruppo"},
    // Multiple-controller page
    {IDS_MSG_EMPTY_NAME, "Il nome o l'unità non possono essere vuoti."},
    {IDS_MSG_DUPLICATE_NAME, "Un altro regolatore ha già questo nome."},
    {IDS_DEFAULT_ZONE_NAME, "Zona"},
    {IDS_LABEL_ZONES, "Numero di zone"},
    {IDS_LABEL_SAMPLING, "Tempo di campionamento (min:s)"},
    {IDS_LABEL_RECORDING, "Registrazione"},
    {IDS_RECORD_NONE, "Nessuna registrazione"},
    {IDS_RECORD_ONE_FILE, "Un file"},
    {IDS_RECORD_FILE_PER_CONTROLLER, "Un file per regolatore"},
    {IDS_LABEL_CONTROLLERS, "Regolatori"},
    // Retransmission page and connection settings
    {IDS_PARITY_EVEN, "Pari"},
    {IDS_PARITY_ODD, "Dispari"},
    {IDS_PARITY_NONE, "Nessuna"},
    {IDS_TCP_PORT, "Porta TCP"},
    {IDS_MODBUS_ADDRESS, "Indirizzo Modbus"},
    {IDS_MSG_IP_INCOMPLETE, "L'indirizzo IP è incompleto. Compilare tutti e quattro i campi."},
    {IDS_BOX_RETX_PORT, "Porta seriale di ritrasmissione"},
    {IDS_BOX_RETX_ANALOG, "Ritrasmissione analogica"},
    {IDS_LABEL_RETX_VARIABLE, "Variabile"},
    {IDS_LABEL_RETX_SIGNAL, "Segnale di uscita"},
    {IDS_LABEL_RETX_LOW, "Limite inferiore"},
    {IDS_LABEL_RETX_HIGH, "Limite superiore"},
    {IDS_INFO_CURRENT_OUTPUT, "Segnale in corrente selezionato.\nVerificare che l'uscita di "
                              "ritrasmissione sia cablata per corrente (mA)."},
    {IDS_INFO_VOLTAGE_OUTPUT, "Segnale in tensione selezionato.\nVerificare che l'uscita di "
                              "ritrasmissione sia cablata per tensione (V)."},
    // Common buttons and value dialogs
    {IDS_LABEL_NEW_VALUE, "Nuovo valore"},
    {IDS_OK, "OK"},
    {IDS_CANCEL, "Annulla"},
    // Bus task dialog
    {IDS_TASK_SEARCHING, "Ricerca regolatore"},
    {IDS_MSG_NO_MASTER, "Impossibile avviare la comunicazione. Verificare l'interfaccia e la "
                        "porta."},
    {IDS_TASK_BUTTON_CLOSE, "Chiudi"},
    {IDS_TASK_BUTTON_CANCEL, "Annulla"},
    {IDS_TASK_SEARCH_CANCELLED, "Ricerca annullata."},
    {IDS_TASK_FOUND, "Regolatore trovato."},
    {IDS_TASK_NO_ANSWER, "Nessun regolatore ha risposto."},
    {IDS_MSG_PORT_NOT_OPEN, "Impossibile aprire la porta di comunicazione."},
    {IDS_TASK_READING, "Lettura parametri"},
    {IDS_TASK_WRITING, "Scrittura parametri"},
    {IDS_TASK_WRITE_CANCELLED, "Scrittura annullata."},
    {IDS_TASK_READ_CANCELLED, "Lettura annullata."},
    {IDS_TASK_READ_DONE, "Parametri letti correttamente."},
    {IDS_MSG_READ_EXCEPTION, "Il regolatore ha rifiutato la richiesta di lettura."},
    {IDS_TASK_WRITE_DONE, "Parametri scritti correttamente."},
    {IDS_MSG_WRITE_REFUSED, "Il regolatore ha rifiutato il valore di:"},
    {IDS_MSG_ECHO_OUT_OF_RANGE, "Il regolatore ha restituito un valore fuori campo:"},
    {IDS_TASK_STARTING, "Avvio della comunicazione..."},
    // Single writes and live view
    {IDS_ASK_START_COMM, "Sta per iniziare la comunicazione con i regolatori. Continuare?"},
    {IDS_MSG_POLL_COMM_ERROR, "Errore di comunicazione durante la lettura del regolatore."},
    {IDS_ASK_APPLY_ALL, "Applicare la modifica a tutti i regolatori?"},
    {IDS_MSG_WRITE_FAILED, "Impossibile scrivere il valore"},
    {IDS_MSG_WRITE_DONE, "Valore scritto correttamente."},
    {IDS_MSG_NOTHING_CHOSEN, "Nessuna scelta per:"},
    // Configuration files
    {IDS_CONFIG_FILE_STEM, "Configurazione"},
    {IDS_CONFIG_FILE_FILTER, "Configurazione Calora "},
    {IDS_MSG_CONFIG_BAD_FORMAT, "Il file non è un file di configurazione valido oppure è "
                                "incompleto."},
    {IDS_MSG_CONFIG_BAD_VERSION, "Il file ha un formato che questa versione non può leggere."},
    {IDS_MSG_CONFIG_FILE_ERROR, "Impossibile leggere o scrivere il file di configurazione."},
    {IDS_MSG_CONFIG_LOADED, "Configurazione caricata."},
    {IDS_MSG_CONFIG_SAVED, "Configurazione salvata."},
    {IDS_MSG_CONFIG_VALUES_SKIPPED, "Questi valori del file sono fuori dall'intervallo del "
                                    "loro parametro e non sono stati caricati. Ogni parametro "
                                    "mantiene il valore dopo la freccia:"},
    // Monitoring
    {IDS_MSG_MONITOR_START_FAILED, "Impossibile avviare il monitoraggio."},
    {IDS_MSG_LOG_FILE_FAILED, "Impossibile aprire un file di log. Questa registrazione non "
                              "verrà salvata."},
    {IDS_BAR_COMM_ERROR, "Nessuna comunicazione"},
    {IDS_VIEW_OVERVIEW, "Panoramica regolatori"},
    {IDS_VIEW_BAR_GRAPH, "Grafico a barre"},
    {IDS_VIEW_LINE_GRAPH, "Grafico a linee"},
    // Line graph and graph files
    {IDS_MSG_GRAPH_OPEN_FAILED, "Impossibile aprire il file:\n"},
    {IDS_MSG_GRAPH_CREATE_FAILED, "Impossibile creare il file:\n"},
    {IDS_MSG_GRAPH_WRITE_FAILED, "Errore durante la scrittura del file:\n"},
    {IDS_GRAPH_CURVES, "Curve..."},
    {IDS_GRAPH_RANGE, "Scala..."},
    {IDS_CURVES_AVAILABLE, "Disponibili"},
    {IDS_CURVES_SELECTED, "Selezionate"},
    {IDS_CURVES_COLOUR, "Colore"},
};

static_assert(CoversEveryStringId(kTexts), "every string number needs exactly one text");

} // namespace

CALORA_LANGUAGE_EXPORT const char* DllLengGetNombreIdioma() {
    return "Italiano";
}

CALORA_LANGUAGE_EXPORT const char* DllLengGetTexto(int id) {
    return FindLanguageText(kTexts, id);
}
