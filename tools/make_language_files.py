#!/usr/bin/env python3
"""Writes the interface texts of Revivix: data/Languages/<Language>.txt.

Every language file is an INI file with one section, [Strings], holding one
line per text key.  The program reads the files through the platform's
profile-string service, which takes a file beginning with a UTF-16LE byte-order
mark as Unicode; the files are therefore written as UTF-16LE with BOM and CR LF
line endings.

Texts are used verbatim by the program.  Messages shown on the message label
are preceded by the user's name and ", ", so they start in lower case where the
language allows it.  Button captions stay short (the buttons are about 89
pixels wide).

Run from anywhere:  python3 tools/make_language_files.py
The output depends on nothing but this file.
"""

import os
import sys

KEYS = [
    "IDS_PLAYER_DETECTED",
    "IDS_LICENSE_AGREEMENT_MSG1",
    "IDS_MSC_MESSAGE",
    "IDS_LICENSE_AGREE_CONTINUE",
    "IDS_LICENSE_DISAGREE_QUIT",
    "IDS_EXIT",
    "IDS_NEXT",
    "IDS_YES",
    "IDS_NO",
    "IDS_HELP",
    "IDS_REFRESH",
    "IDS_NEW_VERSION_AVAILABLE",
    "IDS_ENTER_PLAYER_SNO",
    "IDS_SNO_NOT_RECOGNISED_REENTER",
    "IDS_VISIT_KB_MSG",
    "IDS_CHOOSE_REGION_LANGUAGE",
    "IDS_FW_SITE_OFFLINE",
    "IDS_FW_DOWNLOAD_MSG1",
    "IDS_UNEXPECTED_ERROR",
    "IDS_FW_UPDATE_SUCCESSFUL",
    "IDS_FW_UPDATE_FAILED",
    "IDS_NO_VISTA_UPDATES",
    "IDS_MORE_DEVICES_FOUND",
    "IDS_WMP11_NOT_SUPPORTED",
    "IDS_NO_DEVICE_FOUND_MSG01",
    "IDS_PID_DATABASE_CONNECTION_FAILED",
    "IDS_OS_NOT_SUPPORTED",
    "IDS_NO_INTERNET_CONNECTION",
    "IDS_ADMIN_ERROR_MSG",
]

# Keys whose text is a button caption.
BUTTON_KEYS = {
    "IDS_LICENSE_AGREE_CONTINUE",
    "IDS_LICENSE_DISAGREE_QUIT",
    "IDS_EXIT",
    "IDS_NEXT",
    "IDS_YES",
    "IDS_NO",
    "IDS_HELP",
    "IDS_REFRESH",
}

# Language names exactly as the language list shows them; each is also the
# file name of the language file.
LANGUAGES = [
    "English",
    "Brazilian Portuguese",
    "French",
    "Italian",
    "German",
    "Spanish",
    "Dutch",
    "Finnish",
    "Danish",
    "Swedish",
    "Norwegian",
    "Chinese Traditional",
    "Chinese Simplified",
    "Japanese",
    "Russian",
    "Polish",
    "Czech",
]

NBSP = "\u00a0"  # keeps French punctuation on the line of its word

TEXTS = {}

TEXTS["English"] = {
    "IDS_PLAYER_DETECTED": "Player detected",
    "IDS_LICENSE_AGREEMENT_MSG1": "Please read the license agreement below and press Accept to continue.",
    "IDS_MSC_MESSAGE": "Your player will be updated as a storage device; the update may format it and erase its files. Back up your files, then read the license and press Accept.",
    "IDS_LICENSE_AGREE_CONTINUE": "Accept",
    "IDS_LICENSE_DISAGREE_QUIT": "Decline",
    "IDS_EXIT": "Exit",
    "IDS_NEXT": "Next",
    "IDS_YES": "Yes",
    "IDS_NO": "No",
    "IDS_HELP": "Help",
    "IDS_REFRESH": "Refresh",
    "IDS_NEW_VERSION_AVAILABLE": "A new version of Revivix is available. Do you want to update now?",
    "IDS_ENTER_PLAYER_SNO": "Choose your player's model from the list or enter its serial number, then press Next.",
    "IDS_SNO_NOT_RECOGNISED_REENTER": "This serial number was not recognized. Please check it and enter it again.",
    "IDS_VISIT_KB_MSG": "Your player could not be identified. Do you want to open the Zanterix support article on the web?",
    "IDS_CHOOSE_REGION_LANGUAGE": "please choose your region and your language from the lists above.",
    "IDS_FW_SITE_OFFLINE": "the firmware download site cannot be reached at the moment. Please try again later.",
    "IDS_FW_DOWNLOAD_MSG1": "the firmware updater is being downloaded and will start by itself. Keep your player connected and do not close Revivix until the update has finished.",
    "IDS_UNEXPECTED_ERROR": "an unexpected error occurred while downloading the firmware updater. Revivix will now close. Please try again later.",
    "IDS_FW_UPDATE_SUCCESSFUL": "your player's firmware has been updated successfully. You can now disconnect the player and press Exit.",
    "IDS_FW_UPDATE_FAILED": "the firmware update did not succeed. Please press Exit, reconnect your player and run Revivix again.",
    "IDS_NO_VISTA_UPDATES": "the firmware updater for your player does not support this version of Windows. Please update the player on a computer running Windows XP.",
    "IDS_MORE_DEVICES_FOUND": "more than one player is connected. Please connect only the player you want to update and press Refresh.",
    "IDS_WMP11_NOT_SUPPORTED": "the firmware updater for your player does not work with Windows Media Player 11, which is installed on this computer.",
    "IDS_NO_DEVICE_FOUND_MSG01": "no player was found. Please connect your player to this computer with its USB cable and press Refresh.",
    "IDS_PID_DATABASE_CONNECTION_FAILED": "the player database could not be reached. Please check your Internet connection and try again later.",
    "IDS_OS_NOT_SUPPORTED": "this version of Windows is not supported. Revivix runs on Windows XP and Windows Vista.",
    "IDS_NO_INTERNET_CONNECTION": "no Internet connection was found. Please check your connection and start Revivix again.",
    "IDS_ADMIN_ERROR_MSG": "you need administrator rights to run Revivix. Please log on as an administrator and start it again.",
}

TEXTS["Brazilian Portuguese"] = {
    "IDS_PLAYER_DETECTED": "Player detectado",
    "IDS_LICENSE_AGREEMENT_MSG1": "Leia o contrato de licença abaixo e clique em Aceitar para continuar.",
    "IDS_MSC_MESSAGE": "Seu player será atualizado como dispositivo de armazenamento; a atualização pode formatá-lo e apagar seus arquivos. Faça backup dos arquivos, leia a licença e clique em Aceitar.",
    "IDS_LICENSE_AGREE_CONTINUE": "Aceitar",
    "IDS_LICENSE_DISAGREE_QUIT": "Recusar",
    "IDS_EXIT": "Sair",
    "IDS_NEXT": "Avançar",
    "IDS_YES": "Sim",
    "IDS_NO": "Não",
    "IDS_HELP": "Ajuda",
    "IDS_REFRESH": "Atualizar",
    "IDS_NEW_VERSION_AVAILABLE": "Uma nova versão do Revivix está disponível. Deseja atualizar agora?",
    "IDS_ENTER_PLAYER_SNO": "Escolha o modelo do seu player na lista ou digite o número de série e clique em Avançar.",
    "IDS_SNO_NOT_RECOGNISED_REENTER": "Este número de série não foi reconhecido. Verifique-o e digite-o novamente.",
    "IDS_VISIT_KB_MSG": "Não foi possível identificar o seu player. Deseja abrir o artigo de suporte da Zanterix na Web?",
    "IDS_CHOOSE_REGION_LANGUAGE": "escolha a sua região e o seu idioma nas listas acima.",
    "IDS_FW_SITE_OFFLINE": "o site de download do firmware não está acessível no momento. Tente novamente mais tarde.",
    "IDS_FW_DOWNLOAD_MSG1": "o atualizador de firmware está sendo baixado e será iniciado automaticamente. Mantenha o player conectado e não feche o Revivix até o fim da atualização.",
    "IDS_UNEXPECTED_ERROR": "ocorreu um erro inesperado ao baixar o atualizador de firmware. O Revivix será fechado agora. Tente novamente mais tarde.",
    "IDS_FW_UPDATE_SUCCESSFUL": "o firmware do seu player foi atualizado com sucesso. Agora você pode desconectar o player e clicar em Sair.",
    "IDS_FW_UPDATE_FAILED": "a atualização do firmware não foi concluída. Clique em Sair, conecte o player novamente e execute o Revivix outra vez.",
    "IDS_NO_VISTA_UPDATES": "o atualizador de firmware do seu player não é compatível com esta versão do Windows. Atualize o player em um computador com Windows XP.",
    "IDS_MORE_DEVICES_FOUND": "há mais de um player conectado. Conecte apenas o player que deseja atualizar e clique em Atualizar.",
    "IDS_WMP11_NOT_SUPPORTED": "o atualizador de firmware do seu player não funciona com o Windows Media Player 11, que está instalado neste computador.",
    "IDS_NO_DEVICE_FOUND_MSG01": "nenhum player foi encontrado. Conecte o player a este computador com o cabo USB e clique em Atualizar.",
    "IDS_PID_DATABASE_CONNECTION_FAILED": "não foi possível acessar o banco de dados de players. Verifique sua conexão com a Internet e tente novamente mais tarde.",
    "IDS_OS_NOT_SUPPORTED": "esta versão do Windows não é compatível. O Revivix funciona no Windows XP e no Windows Vista.",
    "IDS_NO_INTERNET_CONNECTION": "nenhuma conexão com a Internet foi encontrada. Verifique sua conexão e inicie o Revivix novamente.",
    "IDS_ADMIN_ERROR_MSG": "você precisa de direitos de administrador para executar o Revivix. Faça logon como administrador e inicie-o novamente.",
}

TEXTS["French"] = {
    "IDS_PLAYER_DETECTED": "Lecteur détecté",
    "IDS_LICENSE_AGREEMENT_MSG1": "Veuillez lire le contrat de licence ci-dessous, puis cliquez sur Accepter pour continuer.",
    "IDS_MSC_MESSAGE": "Votre lecteur sera mis à jour comme périphérique de stockage" + NBSP + "; la mise à jour peut le formater et effacer ses fichiers. Sauvegardez-les, lisez la licence, puis cliquez sur Accepter.",
    "IDS_LICENSE_AGREE_CONTINUE": "Accepter",
    "IDS_LICENSE_DISAGREE_QUIT": "Refuser",
    "IDS_EXIT": "Quitter",
    "IDS_NEXT": "Suivant",
    "IDS_YES": "Oui",
    "IDS_NO": "Non",
    "IDS_HELP": "Aide",
    "IDS_REFRESH": "Actualiser",
    "IDS_NEW_VERSION_AVAILABLE": "Une nouvelle version de Revivix est disponible. Voulez-vous effectuer la mise à jour maintenant" + NBSP + "?",
    "IDS_ENTER_PLAYER_SNO": "Choisissez le modèle de votre lecteur dans la liste ou saisissez son numéro de série, puis cliquez sur Suivant.",
    "IDS_SNO_NOT_RECOGNISED_REENTER": "Ce numéro de série n'a pas été reconnu. Vérifiez-le et saisissez-le de nouveau.",
    "IDS_VISIT_KB_MSG": "Votre lecteur n'a pas pu être identifié. Voulez-vous ouvrir l'article d'assistance Zanterix sur le Web" + NBSP + "?",
    "IDS_CHOOSE_REGION_LANGUAGE": "veuillez choisir votre région et votre langue dans les listes ci-dessus.",
    "IDS_FW_SITE_OFFLINE": "le site de téléchargement du micrologiciel est momentanément inaccessible. Veuillez réessayer plus tard.",
    "IDS_FW_DOWNLOAD_MSG1": "le programme de mise à jour du micrologiciel est en cours de téléchargement et démarrera automatiquement. Laissez votre lecteur branché et ne fermez pas Revivix avant la fin de la mise à jour.",
    "IDS_UNEXPECTED_ERROR": "une erreur inattendue s'est produite lors du téléchargement du programme de mise à jour. Revivix va se fermer. Veuillez réessayer plus tard.",
    "IDS_FW_UPDATE_SUCCESSFUL": "le micrologiciel de votre lecteur a été mis à jour avec succès. Vous pouvez maintenant débrancher le lecteur et cliquer sur Quitter.",
    "IDS_FW_UPDATE_FAILED": "la mise à jour du micrologiciel a échoué. Cliquez sur Quitter, rebranchez votre lecteur et relancez Revivix.",
    "IDS_NO_VISTA_UPDATES": "le programme de mise à jour de votre lecteur ne prend pas en charge cette version de Windows. Mettez à jour le lecteur sur un ordinateur équipé de Windows XP.",
    "IDS_MORE_DEVICES_FOUND": "plusieurs lecteurs sont connectés. Branchez uniquement le lecteur à mettre à jour, puis cliquez sur Actualiser.",
    "IDS_WMP11_NOT_SUPPORTED": "le programme de mise à jour de votre lecteur ne fonctionne pas avec le Lecteur Windows Media 11 installé sur cet ordinateur.",
    "IDS_NO_DEVICE_FOUND_MSG01": "aucun lecteur n'a été trouvé. Branchez votre lecteur sur cet ordinateur avec son câble USB, puis cliquez sur Actualiser.",
    "IDS_PID_DATABASE_CONNECTION_FAILED": "impossible d'accéder à la base de données des lecteurs. Vérifiez votre connexion Internet et réessayez plus tard.",
    "IDS_OS_NOT_SUPPORTED": "cette version de Windows n'est pas prise en charge. Revivix fonctionne sous Windows XP et Windows Vista.",
    "IDS_NO_INTERNET_CONNECTION": "aucune connexion Internet n'a été détectée. Vérifiez votre connexion et relancez Revivix.",
    "IDS_ADMIN_ERROR_MSG": "vous devez disposer des droits d'administrateur pour exécuter Revivix. Ouvrez une session en tant qu'administrateur et relancez le programme.",
}

TEXTS["Italian"] = {
    "IDS_PLAYER_DETECTED": "Lettore rilevato",
    "IDS_LICENSE_AGREEMENT_MSG1": "Leggi il contratto di licenza riportato sotto e fai clic su Accetta per continuare.",
    "IDS_MSC_MESSAGE": "Il lettore verrà aggiornato come dispositivo di archiviazione; l'aggiornamento potrebbe formattarlo e cancellarne i file. Esegui un backup dei file, leggi la licenza e fai clic su Accetta.",
    "IDS_LICENSE_AGREE_CONTINUE": "Accetta",
    "IDS_LICENSE_DISAGREE_QUIT": "Rifiuta",
    "IDS_EXIT": "Esci",
    "IDS_NEXT": "Avanti",
    "IDS_YES": "Sì",
    "IDS_NO": "No",
    "IDS_HELP": "Guida",
    "IDS_REFRESH": "Aggiorna",
    "IDS_NEW_VERSION_AVAILABLE": "È disponibile una nuova versione di Revivix. Vuoi eseguire l'aggiornamento adesso?",
    "IDS_ENTER_PLAYER_SNO": "Scegli il modello del lettore dall'elenco o inserisci il numero di serie, quindi fai clic su Avanti.",
    "IDS_SNO_NOT_RECOGNISED_REENTER": "Il numero di serie non è stato riconosciuto. Controllalo e inseriscilo di nuovo.",
    "IDS_VISIT_KB_MSG": "Impossibile identificare il lettore. Vuoi aprire l'articolo di supporto Zanterix sul Web?",
    "IDS_CHOOSE_REGION_LANGUAGE": "scegli la tua regione e la tua lingua dagli elenchi qui sopra.",
    "IDS_FW_SITE_OFFLINE": "il sito di download del firmware non è raggiungibile al momento. Riprova più tardi.",
    "IDS_FW_DOWNLOAD_MSG1": "è in corso il download del programma di aggiornamento del firmware, che si avvierà automaticamente. Tieni collegato il lettore e non chiudere Revivix fino al termine dell'aggiornamento.",
    "IDS_UNEXPECTED_ERROR": "si è verificato un errore imprevisto durante il download del programma di aggiornamento del firmware. Revivix verrà chiuso. Riprova più tardi.",
    "IDS_FW_UPDATE_SUCCESSFUL": "il firmware del lettore è stato aggiornato correttamente. Ora puoi scollegare il lettore e fare clic su Esci.",
    "IDS_FW_UPDATE_FAILED": "l'aggiornamento del firmware non è riuscito. Fai clic su Esci, ricollega il lettore ed esegui di nuovo Revivix.",
    "IDS_NO_VISTA_UPDATES": "il programma di aggiornamento del firmware del lettore non supporta questa versione di Windows. Aggiorna il lettore su un computer con Windows XP.",
    "IDS_MORE_DEVICES_FOUND": "sono collegati più lettori. Collega solo il lettore da aggiornare e fai clic su Aggiorna.",
    "IDS_WMP11_NOT_SUPPORTED": "il programma di aggiornamento del firmware del lettore non funziona con Windows Media Player 11, installato su questo computer.",
    "IDS_NO_DEVICE_FOUND_MSG01": "non è stato trovato alcun lettore. Collega il lettore a questo computer con il cavo USB e fai clic su Aggiorna.",
    "IDS_PID_DATABASE_CONNECTION_FAILED": "impossibile accedere al database dei lettori. Verifica la connessione a Internet e riprova più tardi.",
    "IDS_OS_NOT_SUPPORTED": "questa versione di Windows non è supportata. Revivix funziona con Windows XP e Windows Vista.",
    "IDS_NO_INTERNET_CONNECTION": "non è stata rilevata alcuna connessione a Internet. Verifica la connessione e avvia di nuovo Revivix.",
    "IDS_ADMIN_ERROR_MSG": "per eseguire Revivix sono necessari i diritti di amministratore. Accedi come amministratore e avvia di nuovo il programma.",
}

TEXTS["German"] = {
    "IDS_PLAYER_DETECTED": "Player erkannt",
    "IDS_LICENSE_AGREEMENT_MSG1": "Bitte lesen Sie den folgenden Lizenzvertrag und klicken Sie auf Annehmen, um fortzufahren.",
    "IDS_MSC_MESSAGE": "Ihr Player wird als Massenspeicher aktualisiert und dabei möglicherweise formatiert, wodurch seine Dateien gelöscht werden. Sichern Sie Ihre Dateien, lesen Sie die Lizenz und klicken Sie auf Annehmen.",
    "IDS_LICENSE_AGREE_CONTINUE": "Annehmen",
    "IDS_LICENSE_DISAGREE_QUIT": "Ablehnen",
    "IDS_EXIT": "Beenden",
    "IDS_NEXT": "Weiter",
    "IDS_YES": "Ja",
    "IDS_NO": "Nein",
    "IDS_HELP": "Hilfe",
    "IDS_REFRESH": "Aktualisieren",
    "IDS_NEW_VERSION_AVAILABLE": "Eine neue Version von Revivix ist verfügbar. Möchten Sie jetzt aktualisieren?",
    "IDS_ENTER_PLAYER_SNO": "Wählen Sie das Modell Ihres Players aus der Liste oder geben Sie die Seriennummer ein und klicken Sie auf Weiter.",
    "IDS_SNO_NOT_RECOGNISED_REENTER": "Diese Seriennummer wurde nicht erkannt. Bitte prüfen Sie sie und geben Sie sie erneut ein.",
    "IDS_VISIT_KB_MSG": "Ihr Player konnte nicht identifiziert werden. Möchten Sie den Zanterix-Supportartikel im Internet öffnen?",
    "IDS_CHOOSE_REGION_LANGUAGE": "bitte wählen Sie Ihre Region und Ihre Sprache in den Listen oben aus.",
    "IDS_FW_SITE_OFFLINE": "die Download-Seite für die Firmware ist zurzeit nicht erreichbar. Bitte versuchen Sie es später erneut.",
    "IDS_FW_DOWNLOAD_MSG1": "das Firmware-Aktualisierungsprogramm wird heruntergeladen und startet automatisch. Lassen Sie den Player angeschlossen und schließen Sie Revivix erst, wenn die Aktualisierung abgeschlossen ist.",
    "IDS_UNEXPECTED_ERROR": "beim Herunterladen des Firmware-Aktualisierungsprogramms ist ein unerwarteter Fehler aufgetreten. Revivix wird jetzt beendet. Bitte versuchen Sie es später erneut.",
    "IDS_FW_UPDATE_SUCCESSFUL": "die Firmware Ihres Players wurde erfolgreich aktualisiert. Sie können den Player jetzt trennen und auf Beenden klicken.",
    "IDS_FW_UPDATE_FAILED": "die Firmware-Aktualisierung ist fehlgeschlagen. Klicken Sie auf Beenden, schließen Sie den Player erneut an und starten Sie Revivix noch einmal.",
    "IDS_NO_VISTA_UPDATES": "das Firmware-Aktualisierungsprogramm für Ihren Player unterstützt diese Windows-Version nicht. Bitte aktualisieren Sie den Player auf einem Computer mit Windows XP.",
    "IDS_MORE_DEVICES_FOUND": "es ist mehr als ein Player angeschlossen. Schließen Sie nur den Player an, den Sie aktualisieren möchten, und klicken Sie auf Aktualisieren.",
    "IDS_WMP11_NOT_SUPPORTED": "das Firmware-Aktualisierungsprogramm für Ihren Player funktioniert nicht mit Windows Media Player 11, der auf diesem Computer installiert ist.",
    "IDS_NO_DEVICE_FOUND_MSG01": "es wurde kein Player gefunden. Schließen Sie Ihren Player mit dem USB-Kabel an diesen Computer an und klicken Sie auf Aktualisieren.",
    "IDS_PID_DATABASE_CONNECTION_FAILED": "die Player-Datenbank ist nicht erreichbar. Bitte prüfen Sie Ihre Internetverbindung und versuchen Sie es später erneut.",
    "IDS_OS_NOT_SUPPORTED": "diese Windows-Version wird nicht unterstützt. Revivix läuft unter Windows XP und Windows Vista.",
    "IDS_NO_INTERNET_CONNECTION": "es wurde keine Internetverbindung gefunden. Bitte prüfen Sie Ihre Verbindung und starten Sie Revivix erneut.",
    "IDS_ADMIN_ERROR_MSG": "Sie benötigen Administratorrechte, um Revivix auszuführen. Bitte melden Sie sich als Administrator an und starten Sie das Programm erneut.",
}

TEXTS["Spanish"] = {
    "IDS_PLAYER_DETECTED": "Reproductor detectado",
    "IDS_LICENSE_AGREEMENT_MSG1": "Lea el contrato de licencia que aparece a continuación y haga clic en Aceptar para continuar.",
    "IDS_MSC_MESSAGE": "Su reproductor se actualizará como dispositivo de almacenamiento; la actualización puede formatearlo y borrar sus archivos. Haga una copia de seguridad, lea la licencia y haga clic en Aceptar.",
    "IDS_LICENSE_AGREE_CONTINUE": "Aceptar",
    "IDS_LICENSE_DISAGREE_QUIT": "Rechazar",
    "IDS_EXIT": "Salir",
    "IDS_NEXT": "Siguiente",
    "IDS_YES": "Sí",
    "IDS_NO": "No",
    "IDS_HELP": "Ayuda",
    "IDS_REFRESH": "Actualizar",
    "IDS_NEW_VERSION_AVAILABLE": "Hay una nueva versión de Revivix disponible. ¿Desea actualizar ahora?",
    "IDS_ENTER_PLAYER_SNO": "Elija el modelo de su reproductor en la lista o escriba su número de serie y haga clic en Siguiente.",
    "IDS_SNO_NOT_RECOGNISED_REENTER": "No se ha reconocido este número de serie. Compruébelo y escríbalo de nuevo.",
    "IDS_VISIT_KB_MSG": "No se ha podido identificar su reproductor. ¿Desea abrir el artículo de soporte de Zanterix en la Web?",
    "IDS_CHOOSE_REGION_LANGUAGE": "elija su región y su idioma en las listas de arriba.",
    "IDS_FW_SITE_OFFLINE": "el sitio de descarga del firmware no está disponible en este momento. Vuelva a intentarlo más tarde.",
    "IDS_FW_DOWNLOAD_MSG1": "se está descargando el programa de actualización del firmware, que se iniciará automáticamente. Mantenga el reproductor conectado y no cierre Revivix hasta que termine la actualización.",
    "IDS_UNEXPECTED_ERROR": "se ha producido un error inesperado al descargar el programa de actualización del firmware. Revivix se cerrará ahora. Vuelva a intentarlo más tarde.",
    "IDS_FW_UPDATE_SUCCESSFUL": "el firmware de su reproductor se ha actualizado correctamente. Ya puede desconectar el reproductor y hacer clic en Salir.",
    "IDS_FW_UPDATE_FAILED": "no se ha podido completar la actualización del firmware. Haga clic en Salir, vuelva a conectar el reproductor y ejecute Revivix de nuevo.",
    "IDS_NO_VISTA_UPDATES": "el programa de actualización de su reproductor no es compatible con esta versión de Windows. Actualice el reproductor en un equipo con Windows XP.",
    "IDS_MORE_DEVICES_FOUND": "hay más de un reproductor conectado. Conecte solo el reproductor que desea actualizar y haga clic en Actualizar.",
    "IDS_WMP11_NOT_SUPPORTED": "el programa de actualización de su reproductor no funciona con el Reproductor de Windows Media 11, que está instalado en este equipo.",
    "IDS_NO_DEVICE_FOUND_MSG01": "no se ha encontrado ningún reproductor. Conecte el reproductor a este equipo con el cable USB y haga clic en Actualizar.",
    "IDS_PID_DATABASE_CONNECTION_FAILED": "no se ha podido acceder a la base de datos de reproductores. Compruebe su conexión a Internet y vuelva a intentarlo más tarde.",
    "IDS_OS_NOT_SUPPORTED": "esta versión de Windows no es compatible. Revivix funciona en Windows XP y Windows Vista.",
    "IDS_NO_INTERNET_CONNECTION": "no se ha encontrado ninguna conexión a Internet. Compruebe su conexión e inicie Revivix de nuevo.",
    "IDS_ADMIN_ERROR_MSG": "necesita derechos de administrador para ejecutar Revivix. Inicie sesión como administrador y vuelva a iniciar el programa.",
}

TEXTS["Dutch"] = {
    "IDS_PLAYER_DETECTED": "Speler gedetecteerd",
    "IDS_LICENSE_AGREEMENT_MSG1": "Lees de licentieovereenkomst hieronder en klik op Accepteren om door te gaan.",
    "IDS_MSC_MESSAGE": "Uw speler wordt bijgewerkt als opslagapparaat; daarbij kan hij worden geformatteerd en kunnen de bestanden erop worden gewist. Maak een back-up, lees de licentie en klik op Accepteren.",
    "IDS_LICENSE_AGREE_CONTINUE": "Accepteren",
    "IDS_LICENSE_DISAGREE_QUIT": "Weigeren",
    "IDS_EXIT": "Afsluiten",
    "IDS_NEXT": "Volgende",
    "IDS_YES": "Ja",
    "IDS_NO": "Nee",
    "IDS_HELP": "Help",
    "IDS_REFRESH": "Vernieuwen",
    "IDS_NEW_VERSION_AVAILABLE": "Er is een nieuwe versie van Revivix beschikbaar. Wilt u nu bijwerken?",
    "IDS_ENTER_PLAYER_SNO": "Kies het model van uw speler in de lijst of voer het serienummer in en klik op Volgende.",
    "IDS_SNO_NOT_RECOGNISED_REENTER": "Dit serienummer is niet herkend. Controleer het en voer het opnieuw in.",
    "IDS_VISIT_KB_MSG": "Uw speler kan niet worden geïdentificeerd. Wilt u het ondersteuningsartikel van Zanterix op internet openen?",
    "IDS_CHOOSE_REGION_LANGUAGE": "kies uw regio en uw taal in de lijsten hierboven.",
    "IDS_FW_SITE_OFFLINE": "de downloadsite voor de firmware is momenteel niet bereikbaar. Probeer het later opnieuw.",
    "IDS_FW_DOWNLOAD_MSG1": "het firmware-updateprogramma wordt gedownload en start automatisch. Laat uw speler aangesloten en sluit Revivix pas af als de update is voltooid.",
    "IDS_UNEXPECTED_ERROR": "er is een onverwachte fout opgetreden bij het downloaden van het firmware-updateprogramma. Revivix wordt nu afgesloten. Probeer het later opnieuw.",
    "IDS_FW_UPDATE_SUCCESSFUL": "de firmware van uw speler is met succes bijgewerkt. U kunt de speler nu loskoppelen en op Afsluiten klikken.",
    "IDS_FW_UPDATE_FAILED": "de firmware-update is mislukt. Klik op Afsluiten, sluit de speler opnieuw aan en start Revivix nogmaals.",
    "IDS_NO_VISTA_UPDATES": "het firmware-updateprogramma voor uw speler ondersteunt deze versie van Windows niet. Werk de speler bij op een computer met Windows XP.",
    "IDS_MORE_DEVICES_FOUND": "er is meer dan één speler aangesloten. Sluit alleen de speler aan die u wilt bijwerken en klik op Vernieuwen.",
    "IDS_WMP11_NOT_SUPPORTED": "het firmware-updateprogramma voor uw speler werkt niet met Windows Media Player 11, dat op deze computer is geïnstalleerd.",
    "IDS_NO_DEVICE_FOUND_MSG01": "er is geen speler gevonden. Sluit uw speler met de USB-kabel aan op deze computer en klik op Vernieuwen.",
    "IDS_PID_DATABASE_CONNECTION_FAILED": "de spelerdatabase is niet bereikbaar. Controleer uw internetverbinding en probeer het later opnieuw.",
    "IDS_OS_NOT_SUPPORTED": "deze versie van Windows wordt niet ondersteund. Revivix werkt met Windows XP en Windows Vista.",
    "IDS_NO_INTERNET_CONNECTION": "er is geen internetverbinding gevonden. Controleer uw verbinding en start Revivix opnieuw.",
    "IDS_ADMIN_ERROR_MSG": "u hebt beheerdersrechten nodig om Revivix uit te voeren. Meld u aan als beheerder en start het programma opnieuw.",
}

TEXTS["Finnish"] = {
    "IDS_PLAYER_DETECTED": "Soitin tunnistettu",
    "IDS_LICENSE_AGREEMENT_MSG1": "Lue alla oleva käyttöoikeussopimus ja jatka valitsemalla Hyväksy.",
    "IDS_MSC_MESSAGE": "Soitin päivitetään massamuistilaitteena, ja päivitys voi alustaa sen ja poistaa sen tiedostot. Varmuuskopioi tiedostot, lue käyttöoikeussopimus ja valitse Hyväksy.",
    "IDS_LICENSE_AGREE_CONTINUE": "Hyväksy",
    "IDS_LICENSE_DISAGREE_QUIT": "Hylkää",
    "IDS_EXIT": "Lopeta",
    "IDS_NEXT": "Seuraava",
    "IDS_YES": "Kyllä",
    "IDS_NO": "Ei",
    "IDS_HELP": "Ohje",
    "IDS_REFRESH": "Päivitä",
    "IDS_NEW_VERSION_AVAILABLE": "Uusi Revivix-versio on saatavilla. Haluatko päivittää nyt?",
    "IDS_ENTER_PLAYER_SNO": "Valitse soittimen malli luettelosta tai kirjoita sen sarjanumero ja valitse sitten Seuraava.",
    "IDS_SNO_NOT_RECOGNISED_REENTER": "Sarjanumeroa ei tunnistettu. Tarkista se ja kirjoita se uudelleen.",
    "IDS_VISIT_KB_MSG": "Soitinta ei voitu tunnistaa. Haluatko avata Zanterix-tukiartikkelin verkossa?",
    "IDS_CHOOSE_REGION_LANGUAGE": "valitse alue ja kieli yllä olevista luetteloista.",
    "IDS_FW_SITE_OFFLINE": "laiteohjelmiston lataussivustoon ei juuri nyt saada yhteyttä. Yritä myöhemmin uudelleen.",
    "IDS_FW_DOWNLOAD_MSG1": "laiteohjelmiston päivitysohjelmaa ladataan, ja se käynnistyy automaattisesti. Pidä soitin liitettynä äläkä sulje Revivix-ohjelmaa ennen kuin päivitys on valmis.",
    "IDS_UNEXPECTED_ERROR": "laiteohjelmiston päivitysohjelman latauksessa tapahtui odottamaton virhe. Revivix suljetaan nyt. Yritä myöhemmin uudelleen.",
    "IDS_FW_UPDATE_SUCCESSFUL": "soittimen laiteohjelmisto päivitettiin onnistuneesti. Voit nyt irrottaa soittimen ja valita Lopeta.",
    "IDS_FW_UPDATE_FAILED": "laiteohjelmiston päivitys epäonnistui. Valitse Lopeta, liitä soitin uudelleen ja käynnistä Revivix vielä kerran.",
    "IDS_NO_VISTA_UPDATES": "soittimesi laiteohjelmiston päivitysohjelma ei tue tätä Windows-versiota. Päivitä soitin tietokoneella, jossa on Windows XP.",
    "IDS_MORE_DEVICES_FOUND": "tietokoneeseen on liitetty useampi kuin yksi soitin. Liitä vain päivitettävä soitin ja valitse Päivitä.",
    "IDS_WMP11_NOT_SUPPORTED": "soittimesi laiteohjelmiston päivitysohjelma ei toimi tähän tietokoneeseen asennetun Windows Media Player 11:n kanssa.",
    "IDS_NO_DEVICE_FOUND_MSG01": "soitinta ei löytynyt. Liitä soitin tähän tietokoneeseen USB-kaapelilla ja valitse Päivitä.",
    "IDS_PID_DATABASE_CONNECTION_FAILED": "soitintietokantaan ei saatu yhteyttä. Tarkista Internet-yhteys ja yritä myöhemmin uudelleen.",
    "IDS_OS_NOT_SUPPORTED": "tätä Windows-versiota ei tueta. Revivix toimii Windows XP:ssä ja Windows Vistassa.",
    "IDS_NO_INTERNET_CONNECTION": "Internet-yhteyttä ei löytynyt. Tarkista yhteys ja käynnistä Revivix uudelleen.",
    "IDS_ADMIN_ERROR_MSG": "tarvitset järjestelmänvalvojan oikeudet Revivix-ohjelman käyttämiseen. Kirjaudu sisään järjestelmänvalvojana ja käynnistä ohjelma uudelleen.",
}

TEXTS["Danish"] = {
    "IDS_PLAYER_DETECTED": "Afspiller fundet",
    "IDS_LICENSE_AGREEMENT_MSG1": "Læs licensaftalen nedenfor, og klik på Accepter for at fortsætte.",
    "IDS_MSC_MESSAGE": "Afspilleren opdateres som lagerenhed, og opdateringen kan formatere den og slette dens filer. Tag en sikkerhedskopi af dine filer, læs licensen, og klik på Accepter.",
    "IDS_LICENSE_AGREE_CONTINUE": "Accepter",
    "IDS_LICENSE_DISAGREE_QUIT": "Afvis",
    "IDS_EXIT": "Afslut",
    "IDS_NEXT": "Næste",
    "IDS_YES": "Ja",
    "IDS_NO": "Nej",
    "IDS_HELP": "Hjælp",
    "IDS_REFRESH": "Opdater",
    "IDS_NEW_VERSION_AVAILABLE": "Der findes en ny version af Revivix. Vil du opdatere nu?",
    "IDS_ENTER_PLAYER_SNO": "Vælg afspillerens model på listen, eller indtast dens serienummer, og klik derefter på Næste.",
    "IDS_SNO_NOT_RECOGNISED_REENTER": "Serienummeret blev ikke genkendt. Kontrollér det, og indtast det igen.",
    "IDS_VISIT_KB_MSG": "Afspilleren kunne ikke identificeres. Vil du åbne supportartiklen fra Zanterix på internettet?",
    "IDS_CHOOSE_REGION_LANGUAGE": "vælg din region og dit sprog på listerne ovenfor.",
    "IDS_FW_SITE_OFFLINE": "downloadwebstedet for firmwaren kan ikke nås i øjeblikket. Prøv igen senere.",
    "IDS_FW_DOWNLOAD_MSG1": "firmwareopdateringsprogrammet hentes og starter automatisk. Lad afspilleren være tilsluttet, og luk ikke Revivix, før opdateringen er færdig.",
    "IDS_UNEXPECTED_ERROR": "der opstod en uventet fejl under overførslen af firmwareopdateringsprogrammet. Revivix lukkes nu. Prøv igen senere.",
    "IDS_FW_UPDATE_SUCCESSFUL": "afspillerens firmware er blevet opdateret. Du kan nu frakoble afspilleren og klikke på Afslut.",
    "IDS_FW_UPDATE_FAILED": "firmwareopdateringen mislykkedes. Klik på Afslut, tilslut afspilleren igen, og kør Revivix en gang til.",
    "IDS_NO_VISTA_UPDATES": "firmwareopdateringsprogrammet til din afspiller understøtter ikke denne version af Windows. Opdater afspilleren på en computer med Windows XP.",
    "IDS_MORE_DEVICES_FOUND": "der er tilsluttet mere end én afspiller. Tilslut kun den afspiller, du vil opdatere, og klik på Opdater.",
    "IDS_WMP11_NOT_SUPPORTED": "firmwareopdateringsprogrammet til din afspiller virker ikke med Windows Media Player 11, som er installeret på denne computer.",
    "IDS_NO_DEVICE_FOUND_MSG01": "der blev ikke fundet nogen afspiller. Tilslut afspilleren til denne computer med USB-kablet, og klik på Opdater.",
    "IDS_PID_DATABASE_CONNECTION_FAILED": "der kunne ikke oprettes forbindelse til afspillerdatabasen. Kontrollér din internetforbindelse, og prøv igen senere.",
    "IDS_OS_NOT_SUPPORTED": "denne version af Windows understøttes ikke. Revivix kører på Windows XP og Windows Vista.",
    "IDS_NO_INTERNET_CONNECTION": "der blev ikke fundet nogen internetforbindelse. Kontrollér forbindelsen, og start Revivix igen.",
    "IDS_ADMIN_ERROR_MSG": "du skal have administratorrettigheder for at køre Revivix. Log på som administrator, og start programmet igen.",
}

TEXTS["Swedish"] = {
    "IDS_PLAYER_DETECTED": "Spelare identifierad",
    "IDS_LICENSE_AGREEMENT_MSG1": "Läs licensavtalet nedan och klicka på Godkänn för att fortsätta.",
    "IDS_MSC_MESSAGE": "Spelaren uppdateras som lagringsenhet, och uppdateringen kan formatera den och radera dess filer. Säkerhetskopiera dina filer, läs licensen och klicka på Godkänn.",
    "IDS_LICENSE_AGREE_CONTINUE": "Godkänn",
    "IDS_LICENSE_DISAGREE_QUIT": "Avböj",
    "IDS_EXIT": "Avsluta",
    "IDS_NEXT": "Nästa",
    "IDS_YES": "Ja",
    "IDS_NO": "Nej",
    "IDS_HELP": "Hjälp",
    "IDS_REFRESH": "Uppdatera",
    "IDS_NEW_VERSION_AVAILABLE": "En ny version av Revivix finns tillgänglig. Vill du uppdatera nu?",
    "IDS_ENTER_PLAYER_SNO": "Välj spelarens modell i listan eller ange dess serienummer och klicka sedan på Nästa.",
    "IDS_SNO_NOT_RECOGNISED_REENTER": "Serienumret kändes inte igen. Kontrollera det och ange det igen.",
    "IDS_VISIT_KB_MSG": "Spelaren kunde inte identifieras. Vill du öppna supportartikeln från Zanterix på webben?",
    "IDS_CHOOSE_REGION_LANGUAGE": "välj region och språk i listorna ovan.",
    "IDS_FW_SITE_OFFLINE": "webbplatsen där firmware hämtas kan inte nås just nu. Försök igen senare.",
    "IDS_FW_DOWNLOAD_MSG1": "uppdateringsprogrammet för firmware hämtas och startar automatiskt. Låt spelaren vara ansluten och stäng inte Revivix förrän uppdateringen är klar.",
    "IDS_UNEXPECTED_ERROR": "ett oväntat fel uppstod när uppdateringsprogrammet för firmware hämtades. Revivix stängs nu. Försök igen senare.",
    "IDS_FW_UPDATE_SUCCESSFUL": "spelarens firmware har uppdaterats. Du kan nu koppla från spelaren och klicka på Avsluta.",
    "IDS_FW_UPDATE_FAILED": "firmwareuppdateringen misslyckades. Klicka på Avsluta, anslut spelaren igen och kör Revivix en gång till.",
    "IDS_NO_VISTA_UPDATES": "uppdateringsprogrammet för spelarens firmware stöder inte den här versionen av Windows. Uppdatera spelaren på en dator med Windows XP.",
    "IDS_MORE_DEVICES_FOUND": "fler än en spelare är ansluten. Anslut endast den spelare du vill uppdatera och klicka på Uppdatera.",
    "IDS_WMP11_NOT_SUPPORTED": "uppdateringsprogrammet för spelarens firmware fungerar inte med Windows Media Player 11, som är installerat på den här datorn.",
    "IDS_NO_DEVICE_FOUND_MSG01": "ingen spelare hittades. Anslut spelaren till den här datorn med USB-kabeln och klicka på Uppdatera.",
    "IDS_PID_DATABASE_CONNECTION_FAILED": "det gick inte att ansluta till spelardatabasen. Kontrollera internetanslutningen och försök igen senare.",
    "IDS_OS_NOT_SUPPORTED": "den här versionen av Windows stöds inte. Revivix fungerar med Windows XP och Windows Vista.",
    "IDS_NO_INTERNET_CONNECTION": "ingen internetanslutning hittades. Kontrollera anslutningen och starta Revivix igen.",
    "IDS_ADMIN_ERROR_MSG": "du måste ha administratörsbehörighet för att köra Revivix. Logga in som administratör och starta programmet igen.",
}

TEXTS["Norwegian"] = {
    "IDS_PLAYER_DETECTED": "Spiller funnet",
    "IDS_LICENSE_AGREEMENT_MSG1": "Les lisensavtalen nedenfor, og klikk på Godta for å fortsette.",
    "IDS_MSC_MESSAGE": "Spilleren oppdateres som lagringsenhet, og oppdateringen kan formatere den og slette filene på den. Ta sikkerhetskopi av filene, les lisensen, og klikk på Godta.",
    "IDS_LICENSE_AGREE_CONTINUE": "Godta",
    "IDS_LICENSE_DISAGREE_QUIT": "Avslå",
    "IDS_EXIT": "Avslutt",
    "IDS_NEXT": "Neste",
    "IDS_YES": "Ja",
    "IDS_NO": "Nei",
    "IDS_HELP": "Hjelp",
    "IDS_REFRESH": "Oppdater",
    "IDS_NEW_VERSION_AVAILABLE": "En ny versjon av Revivix er tilgjengelig. Vil du oppdatere nå?",
    "IDS_ENTER_PLAYER_SNO": "Velg modellen til spilleren i listen, eller skriv inn serienummeret, og klikk deretter på Neste.",
    "IDS_SNO_NOT_RECOGNISED_REENTER": "Serienummeret ble ikke gjenkjent. Kontroller det, og skriv det inn på nytt.",
    "IDS_VISIT_KB_MSG": "Spilleren kunne ikke identifiseres. Vil du åpne støtteartikkelen fra Zanterix på nettet?",
    "IDS_CHOOSE_REGION_LANGUAGE": "velg region og språk i listene ovenfor.",
    "IDS_FW_SITE_OFFLINE": "nedlastingsområdet for fastvaren kan ikke nås akkurat nå. Prøv igjen senere.",
    "IDS_FW_DOWNLOAD_MSG1": "oppdateringsprogrammet for fastvaren lastes ned og starter automatisk. La spilleren være tilkoblet, og ikke lukk Revivix før oppdateringen er fullført.",
    "IDS_UNEXPECTED_ERROR": "det oppstod en uventet feil under nedlastingen av oppdateringsprogrammet for fastvaren. Revivix lukkes nå. Prøv igjen senere.",
    "IDS_FW_UPDATE_SUCCESSFUL": "fastvaren på spilleren er oppdatert. Du kan nå koble fra spilleren og klikke på Avslutt.",
    "IDS_FW_UPDATE_FAILED": "fastvareoppdateringen mislyktes. Klikk på Avslutt, koble til spilleren på nytt, og kjør Revivix en gang til.",
    "IDS_NO_VISTA_UPDATES": "oppdateringsprogrammet for fastvaren til spilleren støtter ikke denne versjonen av Windows. Oppdater spilleren på en datamaskin med Windows XP.",
    "IDS_MORE_DEVICES_FOUND": "mer enn én spiller er tilkoblet. Koble til bare spilleren du vil oppdatere, og klikk på Oppdater.",
    "IDS_WMP11_NOT_SUPPORTED": "oppdateringsprogrammet for fastvaren til spilleren fungerer ikke med Windows Media Player 11, som er installert på denne datamaskinen.",
    "IDS_NO_DEVICE_FOUND_MSG01": "ingen spiller ble funnet. Koble spilleren til denne datamaskinen med USB-kabelen, og klikk på Oppdater.",
    "IDS_PID_DATABASE_CONNECTION_FAILED": "det var ikke mulig å koble til spillerdatabasen. Kontroller Internett-tilkoblingen, og prøv igjen senere.",
    "IDS_OS_NOT_SUPPORTED": "denne versjonen av Windows støttes ikke. Revivix kjører på Windows XP og Windows Vista.",
    "IDS_NO_INTERNET_CONNECTION": "ingen Internett-tilkobling ble funnet. Kontroller tilkoblingen, og start Revivix på nytt.",
    "IDS_ADMIN_ERROR_MSG": "du må ha administratorrettigheter for å kjøre Revivix. Logg på som administrator, og start programmet på nytt.",
}

TEXTS["Chinese Traditional"] = {
    "IDS_PLAYER_DETECTED": "已偵測到播放器",
    "IDS_LICENSE_AGREEMENT_MSG1": "請閱讀下方的授權合約，然後按一下「接受」繼續。",
    "IDS_MSC_MESSAGE": "您的播放器將以大量存放裝置模式更新，更新可能會格式化播放器並清除其中的檔案。請先備份檔案，再閱讀授權合約並按一下「接受」。",
    "IDS_LICENSE_AGREE_CONTINUE": "接受",
    "IDS_LICENSE_DISAGREE_QUIT": "拒絕",
    "IDS_EXIT": "結束",
    "IDS_NEXT": "下一步",
    "IDS_YES": "是",
    "IDS_NO": "否",
    "IDS_HELP": "說明",
    "IDS_REFRESH": "重新整理",
    "IDS_NEW_VERSION_AVAILABLE": "Revivix 有新版本可供使用。要立即更新嗎？",
    "IDS_ENTER_PLAYER_SNO": "請從清單中選擇播放器型號，或輸入播放器的序號，然後按一下「下一步」。",
    "IDS_SNO_NOT_RECOGNISED_REENTER": "無法辨識此序號。請檢查後重新輸入。",
    "IDS_VISIT_KB_MSG": "無法識別您的播放器。要在網路上開啟 Zanterix 支援文章嗎？",
    "IDS_CHOOSE_REGION_LANGUAGE": "請從上方清單選擇您的地區和語言。",
    "IDS_FW_SITE_OFFLINE": "目前無法連線至韌體下載網站。請稍後再試。",
    "IDS_FW_DOWNLOAD_MSG1": "正在下載韌體更新程式，下載完成後將自動啟動。請保持播放器連接，並在更新完成前不要關閉 Revivix。",
    "IDS_UNEXPECTED_ERROR": "下載韌體更新程式時發生未預期的錯誤。Revivix 即將關閉，請稍後再試。",
    "IDS_FW_UPDATE_SUCCESSFUL": "播放器的韌體已成功更新。您現在可以中斷播放器的連線，然後按一下「結束」。",
    "IDS_FW_UPDATE_FAILED": "韌體更新失敗。請按一下「結束」，重新連接播放器，然後再次執行 Revivix。",
    "IDS_NO_VISTA_UPDATES": "您播放器的韌體更新程式不支援此版本的 Windows。請在執行 Windows XP 的電腦上更新播放器。",
    "IDS_MORE_DEVICES_FOUND": "目前連接了多部播放器。請只連接要更新的播放器，然後按一下「重新整理」。",
    "IDS_WMP11_NOT_SUPPORTED": "您播放器的韌體更新程式無法搭配此電腦上安裝的 Windows Media Player 11 使用。",
    "IDS_NO_DEVICE_FOUND_MSG01": "找不到播放器。請以 USB 連接線將播放器連接到這部電腦，然後按一下「重新整理」。",
    "IDS_PID_DATABASE_CONNECTION_FAILED": "無法連線至播放器資料庫。請檢查您的網際網路連線，並稍後再試。",
    "IDS_OS_NOT_SUPPORTED": "不支援此版本的 Windows。Revivix 可在 Windows XP 和 Windows Vista 上執行。",
    "IDS_NO_INTERNET_CONNECTION": "找不到網際網路連線。請檢查您的連線，然後重新啟動 Revivix。",
    "IDS_ADMIN_ERROR_MSG": "您必須具有系統管理員權限才能執行 Revivix。請以系統管理員身分登入，然後重新啟動程式。",
}

TEXTS["Chinese Simplified"] = {
    "IDS_PLAYER_DETECTED": "已检测到播放器",
    "IDS_LICENSE_AGREEMENT_MSG1": "请阅读下面的许可协议，然后单击“接受”继续。",
    "IDS_MSC_MESSAGE": "您的播放器将作为大容量存储设备进行更新，更新可能会格式化播放器并删除其中的文件。请先备份文件，然后阅读许可协议并单击“接受”。",
    "IDS_LICENSE_AGREE_CONTINUE": "接受",
    "IDS_LICENSE_DISAGREE_QUIT": "拒绝",
    "IDS_EXIT": "退出",
    "IDS_NEXT": "下一步",
    "IDS_YES": "是",
    "IDS_NO": "否",
    "IDS_HELP": "帮助",
    "IDS_REFRESH": "刷新",
    "IDS_NEW_VERSION_AVAILABLE": "Revivix 有新版本可用。是否立即更新？",
    "IDS_ENTER_PLAYER_SNO": "请从列表中选择播放器型号，或输入播放器的序列号，然后单击“下一步”。",
    "IDS_SNO_NOT_RECOGNISED_REENTER": "无法识别此序列号。请检查后重新输入。",
    "IDS_VISIT_KB_MSG": "无法识别您的播放器。是否在网上打开 Zanterix 支持文章？",
    "IDS_CHOOSE_REGION_LANGUAGE": "请从上方列表中选择您的地区和语言。",
    "IDS_FW_SITE_OFFLINE": "暂时无法访问固件下载网站。请稍后再试。",
    "IDS_FW_DOWNLOAD_MSG1": "正在下载固件更新程序，下载完成后将自动启动。请保持播放器连接，更新完成前请勿关闭 Revivix。",
    "IDS_UNEXPECTED_ERROR": "下载固件更新程序时发生意外错误。Revivix 即将关闭，请稍后再试。",
    "IDS_FW_UPDATE_SUCCESSFUL": "播放器固件已成功更新。现在可以断开播放器，然后单击“退出”。",
    "IDS_FW_UPDATE_FAILED": "固件更新失败。请单击“退出”，重新连接播放器，然后再次运行 Revivix。",
    "IDS_NO_VISTA_UPDATES": "您播放器的固件更新程序不支持此版本的 Windows。请在运行 Windows XP 的计算机上更新播放器。",
    "IDS_MORE_DEVICES_FOUND": "连接了多个播放器。请只连接要更新的播放器，然后单击“刷新”。",
    "IDS_WMP11_NOT_SUPPORTED": "您播放器的固件更新程序无法与此计算机上安装的 Windows Media Player 11 配合使用。",
    "IDS_NO_DEVICE_FOUND_MSG01": "未找到播放器。请用 USB 数据线将播放器连接到此计算机，然后单击“刷新”。",
    "IDS_PID_DATABASE_CONNECTION_FAILED": "无法连接到播放器数据库。请检查您的 Internet 连接，然后稍后再试。",
    "IDS_OS_NOT_SUPPORTED": "不支持此版本的 Windows。Revivix 可在 Windows XP 和 Windows Vista 上运行。",
    "IDS_NO_INTERNET_CONNECTION": "未找到 Internet 连接。请检查您的连接，然后重新启动 Revivix。",
    "IDS_ADMIN_ERROR_MSG": "您需要管理员权限才能运行 Revivix。请以管理员身份登录，然后重新启动程序。",
}

TEXTS["Japanese"] = {
    "IDS_PLAYER_DETECTED": "プレーヤーが検出されました",
    "IDS_LICENSE_AGREEMENT_MSG1": "以下の使用許諾契約をお読みになり、[同意する] をクリックして続行してください。",
    "IDS_MSC_MESSAGE": "プレーヤーはストレージ デバイスとして更新されます。更新によってフォーマットされ、ファイルが消去される場合があります。ファイルをバックアップしてから使用許諾契約を読み、[同意する] をクリックしてください。",
    "IDS_LICENSE_AGREE_CONTINUE": "同意する",
    "IDS_LICENSE_DISAGREE_QUIT": "同意しない",
    "IDS_EXIT": "終了",
    "IDS_NEXT": "次へ",
    "IDS_YES": "はい",
    "IDS_NO": "いいえ",
    "IDS_HELP": "ヘルプ",
    "IDS_REFRESH": "再検出",
    "IDS_NEW_VERSION_AVAILABLE": "Revivix の新しいバージョンが利用可能です。今すぐ更新しますか？",
    "IDS_ENTER_PLAYER_SNO": "一覧からプレーヤーのモデルを選択するか、シリアル番号を入力して、[次へ] をクリックしてください。",
    "IDS_SNO_NOT_RECOGNISED_REENTER": "このシリアル番号は認識されませんでした。確認して、もう一度入力してください。",
    "IDS_VISIT_KB_MSG": "プレーヤーを特定できませんでした。Web で Zanterix のサポート記事を開きますか？",
    "IDS_CHOOSE_REGION_LANGUAGE": "上の一覧から地域と言語を選択してください。",
    "IDS_FW_SITE_OFFLINE": "現在、ファームウェアのダウンロード サイトに接続できません。しばらくしてからもう一度お試しください。",
    "IDS_FW_DOWNLOAD_MSG1": "ファームウェア アップデーターをダウンロードしています。完了すると自動的に起動します。更新が終わるまでプレーヤーを接続したままにし、Revivix を閉じないでください。",
    "IDS_UNEXPECTED_ERROR": "ファームウェア アップデーターのダウンロード中に予期しないエラーが発生しました。Revivix を終了します。しばらくしてからもう一度お試しください。",
    "IDS_FW_UPDATE_SUCCESSFUL": "プレーヤーのファームウェアは正常に更新されました。プレーヤーを取り外して [終了] をクリックしてください。",
    "IDS_FW_UPDATE_FAILED": "ファームウェアの更新に失敗しました。[終了] をクリックし、プレーヤーを接続し直してから、Revivix をもう一度実行してください。",
    "IDS_NO_VISTA_UPDATES": "お使いのプレーヤーのファームウェア アップデーターは、このバージョンの Windows に対応していません。Windows XP を搭載したコンピューターでプレーヤーを更新してください。",
    "IDS_MORE_DEVICES_FOUND": "複数のプレーヤーが接続されています。更新するプレーヤーだけを接続して、[再検出] をクリックしてください。",
    "IDS_WMP11_NOT_SUPPORTED": "お使いのプレーヤーのファームウェア アップデーターは、このコンピューターにインストールされている Windows Media Player 11 では動作しません。",
    "IDS_NO_DEVICE_FOUND_MSG01": "プレーヤーが見つかりませんでした。USB ケーブルでプレーヤーをこのコンピューターに接続し、[再検出] をクリックしてください。",
    "IDS_PID_DATABASE_CONNECTION_FAILED": "プレーヤー データベースに接続できませんでした。インターネット接続を確認し、しばらくしてからもう一度お試しください。",
    "IDS_OS_NOT_SUPPORTED": "このバージョンの Windows はサポートされていません。Revivix は Windows XP および Windows Vista で動作します。",
    "IDS_NO_INTERNET_CONNECTION": "インターネット接続が見つかりませんでした。接続を確認してから、Revivix をもう一度起動してください。",
    "IDS_ADMIN_ERROR_MSG": "Revivix を実行するには管理者権限が必要です。管理者としてログオンし、もう一度起動してください。",
}

TEXTS["Russian"] = {
    "IDS_PLAYER_DETECTED": "Плеер обнаружен",
    "IDS_LICENSE_AGREEMENT_MSG1": "Прочтите лицензионное соглашение ниже и нажмите «Принять», чтобы продолжить.",
    "IDS_MSC_MESSAGE": "Плеер будет обновлён как запоминающее устройство; при обновлении он может быть отформатирован, а файлы на нём удалены. Сохраните копии файлов, прочтите лицензию и нажмите «Принять».",
    "IDS_LICENSE_AGREE_CONTINUE": "Принять",
    "IDS_LICENSE_DISAGREE_QUIT": "Отклонить",
    "IDS_EXIT": "Выход",
    "IDS_NEXT": "Далее",
    "IDS_YES": "Да",
    "IDS_NO": "Нет",
    "IDS_HELP": "Справка",
    "IDS_REFRESH": "Обновить",
    "IDS_NEW_VERSION_AVAILABLE": "Доступна новая версия Revivix. Обновить программу сейчас?",
    "IDS_ENTER_PLAYER_SNO": "Выберите модель плеера в списке или введите его серийный номер, затем нажмите «Далее».",
    "IDS_SNO_NOT_RECOGNISED_REENTER": "Серийный номер не распознан. Проверьте его и введите снова.",
    "IDS_VISIT_KB_MSG": "Не удалось определить модель плеера. Открыть статью службы поддержки Zanterix в Интернете?",
    "IDS_CHOOSE_REGION_LANGUAGE": "выберите регион и язык в списках выше.",
    "IDS_FW_SITE_OFFLINE": "сайт загрузки микропрограммы сейчас недоступен. Повторите попытку позже.",
    "IDS_FW_DOWNLOAD_MSG1": "программа обновления микропрограммы загружается и запустится автоматически. Не отключайте плеер и не закрывайте Revivix до завершения обновления.",
    "IDS_UNEXPECTED_ERROR": "при загрузке программы обновления микропрограммы произошла непредвиденная ошибка. Revivix будет закрыт. Повторите попытку позже.",
    "IDS_FW_UPDATE_SUCCESSFUL": "микропрограмма плеера успешно обновлена. Теперь можно отключить плеер и нажать «Выход».",
    "IDS_FW_UPDATE_FAILED": "не удалось обновить микропрограмму. Нажмите «Выход», заново подключите плеер и снова запустите Revivix.",
    "IDS_NO_VISTA_UPDATES": "программа обновления микропрограммы вашего плеера не поддерживает эту версию Windows. Обновите плеер на компьютере с Windows XP.",
    "IDS_MORE_DEVICES_FOUND": "подключено несколько плееров. Оставьте подключённым только тот плеер, который нужно обновить, и нажмите «Обновить».",
    "IDS_WMP11_NOT_SUPPORTED": "программа обновления микропрограммы вашего плеера не работает с проигрывателем Windows Media 11, установленным на этом компьютере.",
    "IDS_NO_DEVICE_FOUND_MSG01": "плеер не найден. Подключите плеер к этому компьютеру USB-кабелем и нажмите «Обновить».",
    "IDS_PID_DATABASE_CONNECTION_FAILED": "не удалось подключиться к базе данных плееров. Проверьте подключение к Интернету и повторите попытку позже.",
    "IDS_OS_NOT_SUPPORTED": "эта версия Windows не поддерживается. Revivix работает в Windows XP и Windows Vista.",
    "IDS_NO_INTERNET_CONNECTION": "подключение к Интернету не обнаружено. Проверьте подключение и снова запустите Revivix.",
    "IDS_ADMIN_ERROR_MSG": "для запуска Revivix нужны права администратора. Войдите в систему как администратор и снова запустите программу.",
}

TEXTS["Polish"] = {
    "IDS_PLAYER_DETECTED": "Wykryto odtwarzacz",
    "IDS_LICENSE_AGREEMENT_MSG1": "Przeczytaj poniższą umowę licencyjną i kliknij Akceptuję, aby kontynuować.",
    "IDS_MSC_MESSAGE": "Odtwarzacz zostanie zaktualizowany jako urządzenie pamięci masowej; aktualizacja może go sformatować i usunąć zapisane na nim pliki. Utwórz kopię plików, przeczytaj licencję i kliknij Akceptuję.",
    "IDS_LICENSE_AGREE_CONTINUE": "Akceptuję",
    "IDS_LICENSE_DISAGREE_QUIT": "Odrzucam",
    "IDS_EXIT": "Zakończ",
    "IDS_NEXT": "Dalej",
    "IDS_YES": "Tak",
    "IDS_NO": "Nie",
    "IDS_HELP": "Pomoc",
    "IDS_REFRESH": "Odśwież",
    "IDS_NEW_VERSION_AVAILABLE": "Dostępna jest nowa wersja programu Revivix. Czy chcesz przeprowadzić aktualizację teraz?",
    "IDS_ENTER_PLAYER_SNO": "Wybierz model odtwarzacza z listy lub wpisz jego numer seryjny, a następnie kliknij Dalej.",
    "IDS_SNO_NOT_RECOGNISED_REENTER": "Nie rozpoznano tego numeru seryjnego. Sprawdź go i wpisz ponownie.",
    "IDS_VISIT_KB_MSG": "Nie udało się zidentyfikować odtwarzacza. Czy chcesz otworzyć artykuł pomocy technicznej Zanterix w internecie?",
    "IDS_CHOOSE_REGION_LANGUAGE": "wybierz region i język z list powyżej.",
    "IDS_FW_SITE_OFFLINE": "witryna pobierania oprogramowania sprzętowego jest w tej chwili niedostępna. Spróbuj ponownie później.",
    "IDS_FW_DOWNLOAD_MSG1": "trwa pobieranie programu aktualizującego oprogramowanie sprzętowe, który uruchomi się automatycznie. Nie odłączaj odtwarzacza i nie zamykaj programu Revivix do końca aktualizacji.",
    "IDS_UNEXPECTED_ERROR": "podczas pobierania programu aktualizującego oprogramowanie sprzętowe wystąpił nieoczekiwany błąd. Program Revivix zostanie zamknięty. Spróbuj ponownie później.",
    "IDS_FW_UPDATE_SUCCESSFUL": "oprogramowanie sprzętowe odtwarzacza zostało pomyślnie zaktualizowane. Możesz teraz odłączyć odtwarzacz i kliknąć Zakończ.",
    "IDS_FW_UPDATE_FAILED": "aktualizacja oprogramowania sprzętowego nie powiodła się. Kliknij Zakończ, ponownie podłącz odtwarzacz i jeszcze raz uruchom program Revivix.",
    "IDS_NO_VISTA_UPDATES": "program aktualizujący oprogramowanie sprzętowe odtwarzacza nie obsługuje tej wersji systemu Windows. Zaktualizuj odtwarzacz na komputerze z systemem Windows XP.",
    "IDS_MORE_DEVICES_FOUND": "podłączono więcej niż jeden odtwarzacz. Podłącz tylko odtwarzacz, który chcesz zaktualizować, i kliknij Odśwież.",
    "IDS_WMP11_NOT_SUPPORTED": "program aktualizujący oprogramowanie sprzętowe odtwarzacza nie działa z programem Windows Media Player 11 zainstalowanym na tym komputerze.",
    "IDS_NO_DEVICE_FOUND_MSG01": "nie znaleziono odtwarzacza. Podłącz odtwarzacz do tego komputera kablem USB i kliknij Odśwież.",
    "IDS_PID_DATABASE_CONNECTION_FAILED": "nie można połączyć się z bazą danych odtwarzaczy. Sprawdź połączenie z internetem i spróbuj ponownie później.",
    "IDS_OS_NOT_SUPPORTED": "ta wersja systemu Windows nie jest obsługiwana. Program Revivix działa w systemach Windows XP i Windows Vista.",
    "IDS_NO_INTERNET_CONNECTION": "nie wykryto połączenia z internetem. Sprawdź połączenie i ponownie uruchom program Revivix.",
    "IDS_ADMIN_ERROR_MSG": "do uruchomienia programu Revivix potrzebne są uprawnienia administratora. Zaloguj się jako administrator i uruchom program ponownie.",
}

TEXTS["Czech"] = {
    "IDS_PLAYER_DETECTED": "Přehrávač rozpoznán",
    "IDS_LICENSE_AGREEMENT_MSG1": "Přečtěte si níže uvedenou licenční smlouvu a pokračujte kliknutím na Přijmout.",
    "IDS_MSC_MESSAGE": "Přehrávač bude aktualizován jako velkokapacitní paměťové zařízení; aktualizace jej může naformátovat a smazat jeho soubory. Zálohujte si soubory, přečtěte si licenci a klikněte na Přijmout.",
    "IDS_LICENSE_AGREE_CONTINUE": "Přijmout",
    "IDS_LICENSE_DISAGREE_QUIT": "Odmítnout",
    "IDS_EXIT": "Konec",
    "IDS_NEXT": "Další",
    "IDS_YES": "Ano",
    "IDS_NO": "Ne",
    "IDS_HELP": "Nápověda",
    "IDS_REFRESH": "Obnovit",
    "IDS_NEW_VERSION_AVAILABLE": "Je k dispozici nová verze programu Revivix. Chcete provést aktualizaci nyní?",
    "IDS_ENTER_PLAYER_SNO": "Vyberte model přehrávače ze seznamu nebo zadejte jeho sériové číslo a klikněte na Další.",
    "IDS_SNO_NOT_RECOGNISED_REENTER": "Toto sériové číslo nebylo rozpoznáno. Zkontrolujte je a zadejte znovu.",
    "IDS_VISIT_KB_MSG": "Přehrávač se nepodařilo identifikovat. Chcete otevřít článek podpory společnosti Zanterix na webu?",
    "IDS_CHOOSE_REGION_LANGUAGE": "vyberte prosím svou oblast a jazyk v seznamech výše.",
    "IDS_FW_SITE_OFFLINE": "web pro stažení firmwaru je momentálně nedostupný. Zkuste to prosím později.",
    "IDS_FW_DOWNLOAD_MSG1": "aktualizační program firmwaru se stahuje a spustí se automaticky. Nechte přehrávač připojený a nezavírejte Revivix, dokud aktualizace neskončí.",
    "IDS_UNEXPECTED_ERROR": "při stahování aktualizačního programu firmwaru došlo k neočekávané chybě. Revivix se nyní ukončí. Zkuste to prosím později.",
    "IDS_FW_UPDATE_SUCCESSFUL": "firmware přehrávače byl úspěšně aktualizován. Nyní můžete přehrávač odpojit a kliknout na Konec.",
    "IDS_FW_UPDATE_FAILED": "aktualizace firmwaru se nezdařila. Klikněte na Konec, znovu připojte přehrávač a spusťte Revivix ještě jednou.",
    "IDS_NO_VISTA_UPDATES": "aktualizační program firmwaru vašeho přehrávače nepodporuje tuto verzi systému Windows. Aktualizujte přehrávač na počítači se systémem Windows XP.",
    "IDS_MORE_DEVICES_FOUND": "je připojeno více přehrávačů. Připojte pouze přehrávač, který chcete aktualizovat, a klikněte na Obnovit.",
    "IDS_WMP11_NOT_SUPPORTED": "aktualizační program firmwaru vašeho přehrávače nefunguje s programem Windows Media Player 11, který je nainstalován v tomto počítači.",
    "IDS_NO_DEVICE_FOUND_MSG01": "nebyl nalezen žádný přehrávač. Připojte přehrávač k tomuto počítači kabelem USB a klikněte na Obnovit.",
    "IDS_PID_DATABASE_CONNECTION_FAILED": "k databázi přehrávačů se nelze připojit. Zkontrolujte připojení k internetu a zkuste to prosím později.",
    "IDS_OS_NOT_SUPPORTED": "tato verze systému Windows není podporována. Revivix funguje v systémech Windows XP a Windows Vista.",
    "IDS_NO_INTERNET_CONNECTION": "nebylo nalezeno připojení k internetu. Zkontrolujte připojení a spusťte Revivix znovu.",
    "IDS_ADMIN_ERROR_MSG": "ke spuštění programu Revivix potřebujete oprávnění správce. Přihlaste se jako správce a spusťte program znovu.",
}

MAX_MESSAGE = 1023  # the program reads at most this many characters of a value


def check(language, texts):
    """Refuses texts that the program could not show as written."""
    problems = []
    if sorted(texts) != sorted(KEYS):
        missing = sorted(set(KEYS) - set(texts))
        extra = sorted(set(texts) - set(KEYS))
        problems.append("keys missing %s, unknown %s" % (missing, extra))
    for key, value in texts.items():
        where = "%s %s" % (language, key)
        if not value.strip():
            problems.append(where + ": empty")
        if value != value.strip(" \t"):
            problems.append(where + ": blanks at either end are dropped when read")
        if any(ch in value for ch in "\r\n\t"):
            problems.append(where + ": line break or tab")
        if len(value) > 1 and value[0] == value[-1] and value[0] in "'\"":
            problems.append(where + ": enclosing quotes are dropped when read")
        if len(value) > MAX_MESSAGE:
            problems.append(where + ": longer than %d characters" % MAX_MESSAGE)
        if key in BUTTON_KEYS and len(value) > 13:
            problems.append(where + ": too long for a button")
    return problems


def render(texts):
    lines = ["[Strings]"] + ["%s=%s" % (key, texts[key]) for key in KEYS]
    body = "\r\n".join(lines) + "\r\n"
    return b"\xff\xfe" + body.encode("utf-16-le")


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out_dir = os.path.join(root, "data", "Languages")
    problems = []
    for language in LANGUAGES:
        problems += check(language, TEXTS[language])
    if sorted(TEXTS) != sorted(LANGUAGES):
        problems.append("language table and texts differ")
    if problems:
        for problem in problems:
            print("error: " + problem, file=sys.stderr)
        return 1
    os.makedirs(out_dir, exist_ok=True)
    for language in LANGUAGES:
        path = os.path.join(out_dir, language + ".txt")
        with open(path, "wb") as handle:
            handle.write(render(TEXTS[language]))
        print("wrote " + os.path.relpath(path, root))
    return 0


if __name__ == "__main__":
    sys.exit(main())
