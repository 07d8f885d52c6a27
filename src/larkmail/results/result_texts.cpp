#include "results/result_texts.h"

namespace SMTPClientNS {

namespace {

// One text a line: the formatter would otherwise cut texts inside TEXT().
// clang-format off

// English.
const WCHAR* const kEnglish[kFailureTextCount] = {
    TEXT("A general error occurred"),
    TEXT("Unable to connect to service through proxy."),
    TEXT("Couldn't resolve proxy. The given proxy host could not be resolved."),
    TEXT("Couldn't resolve host. The given remote host could not be resolved."),
    TEXT("Failed to connect to host."),
    TEXT("Host using bad/illegal format or missing host."),
    TEXT("Unsupported protocol."),
    TEXT("Error occurred when connecting with SSL."),
    TEXT("Server certificate is revoked."),
    TEXT("Service certificate authentication failed."),
    TEXT("Operation timeout."),
    TEXT("Curl login denied by the remote server."),
    TEXT("Failed to send the network data."),
    TEXT("Failure in receiving network data."),
    TEXT("Incorrect username or password."),
    TEXT("Error reading local file."),
    TEXT("No sender has been specified."),
    TEXT("No recipients have been specified."),
    TEXT("Failed to convert the parameter with its current encoding. The parameter is invalid."),
    TEXT("Failed to convert the email with its current encoding due to insufficient memory."),
    TEXT("Failed to send the email because its encoding is unsupported."),
    TEXT("Failed to convert the email with its current encoding. A general error occurred."),
    TEXT("The server does not accept international mail addresses (SMTPUTF8)."),
};

// Japanese.
const WCHAR* const kJapanese[kFailureTextCount] = {
    TEXT("一般的なエラーが発生しました。"),
    TEXT("プロキシを経由してサービスに接続できません。"),
    TEXT("プロキシを解決できませんでした。指定されたプロキシ ホストを解決できませんでした。"),
    TEXT("ホストを解決できませんでした。 指定されたリモート ホストを解決できませんでした。"),
    TEXT("ホスト接続に失敗しました。"),
    TEXT("ホストの形式に誤りがあるか、ホストが見つかりません。"),
    TEXT("サポートされていないプロトコルです。"),
    TEXT("SSL 接続に失敗しました。"),
    TEXT("サーバーの証明書は取り消されています。"),
    TEXT("サービス証明書の認証に失敗しました。"),
    TEXT("操作はタイムアウトしました。"),
    TEXT("リモートサーバーは curl のログインを拒否しました。"),
    TEXT("ネットワークデータの送信に失敗しました。"),
    TEXT("ネットワークデータの受信に失敗しました。"),
    TEXT("ユーザー名またはパスワードが正しくありません。"),
    TEXT("ローカル ファイルの読み取りエラーです。"),
    TEXT("送信者が指定されていません。"),
    TEXT("受信者が指定されていません。"),
    TEXT("現在のエンコーディングでパラメーターを変換できませんでした。パラメーターが無効です。"),
    TEXT("メモリ不足のため、現在のエンコードで電子メールを変換できませんでした。"),
    TEXT("エンコードがサポートされていないため、電子メールの送信に失敗しました。"),
    TEXT("現在のエンコーディングで電子メールを変換できませんでした。一般的なエラーが発生しました。"),
    TEXT("サーバーは国際化メール アドレス (SMTPUTF8) を受け付けません。"),
};

// Danish.
const WCHAR* const kDanish[kFailureTextCount] = {
    TEXT("Der opstod en generel fejl."),
    TEXT("Kan ikke oprette forbindelse til service via fuldmagt."),
    TEXT("Kunne ikke løse fuldmagt. Den givne stedfortrædende vært kunne ikke løses."),
    TEXT("Kunne ikke løse vært. Den givne fjernvært kunne ikke løses."),
    TEXT("Kunne ikke oprette forbindelse til værten."),
    TEXT("Vært ved hjælp af dårligt / ulovligt format eller manglende vært."),
    TEXT("Ikke understøttet protokol."),
    TEXT("Fejl opstod ved tilslutning med SSL."),
    TEXT("Servercertifikatet er tilbagekaldt."),
    TEXT("Godkendelse af servicecertifikat mislykkedes."),
    TEXT("Timeout for betjening."),
    TEXT("Curl login nægtet af den eksterne server."),
    TEXT("Kunne ikke sende netværksdataene."),
    TEXT("Manglende modtagelse af netværksdata."),
    TEXT("Forkert brugernavn eller adgangskode."),
    TEXT("Fejl ved læsning af lokal fil."),
    TEXT("Der er ikke angivet nogen afsender."),
    TEXT("Der er ikke angivet nogen modtagere."),
    TEXT("Kunne ikke konvertere parameteren med dens nuværende kodning. Parameteren er ugyldig."),
    TEXT("Kunne ikke konvertere e-mailen med dens nuværende kodning på grund af utilstrækkelig ")
    TEXT("hukommelse."),
    TEXT("Kunne ikke sende e-mailen, fordi dens kodning ikke understøttes."),
    TEXT("Kunne ikke konvertere e-mailen med dens nuværende kodning. Der opstod en generel fejl."),
    TEXT("Serveren accepterer ikke internationale e-mailadresser (SMTPUTF8)."),
};

// Dutch.
const WCHAR* const kDutch[kFailureTextCount] = {
    TEXT("Er is een algemene fout opgetreden."),
    TEXT("Kan geen verbinding maken met de service via proxy."),
    TEXT("Kon proxy niet oplossen. De opgegeven proxy-host kon niet worden opgelost."),
    TEXT("Kon host niet oplossen. De opgegeven externe host kon niet worden opgelost."),
    TEXT("Kon geen verbinding maken met de host."),
    TEXT("Host met slechte / illegale indeling of ontbrekende host."),
    TEXT("Niet ondersteund protocol."),
    TEXT("Er is een fout opgetreden bij het verbinden met SSL."),
    TEXT("Server certificaat is ingetrokken."),
    TEXT("Authenticatie van servicecertificaten is mislukt."),
    TEXT("Operatie time-out."),
    TEXT("Curl login geweigerd door de externe server."),
    TEXT("Kon de netwerkgegevens niet verzenden."),
    TEXT("Fout bij het ontvangen van netwerkgegevens."),
    TEXT("Onjuiste gebruikersnaam of wachtwoord."),
    TEXT("Fout bij het lezen van lokaal bestand."),
    TEXT("Er is geen afzender opgegeven."),
    TEXT("Er zijn geen ontvangers gespecificeerd."),
    TEXT("Kon de parameter niet converteren met de huidige codering. De parameter is ongeldig."),
    TEXT("Kon de e-mail niet converteren met de huidige codering vanwege onvoldoende geheugen."),
    TEXT("Het verzenden van de e-mail is mislukt omdat de codering niet wordt ondersteund."),
    TEXT("Kon de e-mail niet converteren met de huidige codering. Er is een algemene fout opgetreden."),
    TEXT("De server accepteert geen internationale e-mailadressen (SMTPUTF8)."),
};

// French.
const WCHAR* const kFrench[kFailureTextCount] = {
    TEXT("Une erreur générale s'est produite."),
    TEXT("Impossible de se connecter au service via un proxy."),
    TEXT("Impossible de résoudre le proxy. L'hôte proxy donné n'a pas pu être résolu."),
    TEXT("Impossible de résoudre l'hôte. L'hôte distant donné n'a pas pu être résolu."),
    TEXT("Échec de la connexion à l'hôte."),
    TEXT("Hôte utilisant un format incorrect/illégal ou hôte manquant."),
    TEXT("Protocole non pris en charge."),
    TEXT("Une erreur s'est produite lors de la connexion avec SSL."),
    TEXT("Le certificat du serveur est révoqué."),
    TEXT("L'authentification du certificat de service a échoué."),
    TEXT("Délai d'expiration de l'opération."),
    TEXT("Connexion Curl refusée par le serveur distant."),
    TEXT("Échec de l'envoi des données réseau."),
    TEXT("Échec de la réception des données réseau."),
    TEXT("Nom d'utilisateur ou mot de passe incorrect."),
    TEXT("Erreur lors de la lecture du fichier local."),
    TEXT("Aucun expéditeur n'a été spécifié."),
    TEXT("Aucun destinataire n'a été spécifié."),
    TEXT("Erreur de conversion du paramètre avec votre encodage actuel. Le paramètre n'est pas valide."),
    TEXT("Erreur de conversion de l'e-mail avec son encodage actuel en raison d'une mémoire ")
    TEXT("insuffisante."),
    TEXT("Erreur d'envoi de l'e-mail car son encodage n'est pas supporté."),
    TEXT("Erreur de conversion de l'e-mail avec votre encodage actuel. Une erreur générale s'est ")
    TEXT("produite."),
    TEXT("Le serveur n'accepte pas les adresses électroniques internationales (SMTPUTF8)."),
};

// German.
const WCHAR* const kGerman[kFailureTextCount] = {
    TEXT("Ein allgemeiner Fehler ist aufgetreten."),
    TEXT("Verbindung zum Dienst über Proxy nicht möglich."),
    TEXT("Proxy konnte nicht aufgelöst werden. Der angegebene Proxy-Host konnte nicht aufgelöst ")
    TEXT("werden."),
    TEXT("Host konnte nicht aufgelöst werden. Der angegebene Remote-Host konnte nicht aufgelöst ")
    TEXT("werden."),
    TEXT("Verbindung zum Host fehlgeschlagen."),
    TEXT("Host mit schlechtem / illegalem Format oder fehlendem Host."),
    TEXT("Nicht unterstütztes Protokoll."),
    TEXT("Beim Verbinden mit SSL ist ein Fehler aufgetreten."),
    TEXT("Das Serverzertifikat wurde widerrufen."),
    TEXT("Authentifizierung des Dienst Zertifikats fehlgeschlagen."),
    TEXT("Betriebszeitüberschreitung."),
    TEXT("Curl-Anmeldung vom Remote-Server abgelehnt."),
    TEXT("Fehler beim Senden der Netzwerkdaten."),
    TEXT("Fehler beim Empfang von Netzwerkdaten."),
    TEXT("Falscher Benutzername oder Passwort."),
    TEXT("Fehler beim Lesen der lokalen Datei."),
    TEXT("Es wurde kein Absender angegeben."),
    TEXT("Es wurden keine Empfänger angegeben."),
    TEXT("Fehler beim Konvertieren des Parameters mit seiner aktuellen Codierung. Der Parameter ist ")
    TEXT("ungültig."),
    TEXT("Fehler beim Konvertieren der E-Mail mit der aktuellen Codierung aufgrund unzureichenden ")
    TEXT("Speichers."),
    TEXT("Die E-Mail konnte nicht gesendet werden, da ihre Codierung nicht unterstützt wird."),
    TEXT("Fehler beim Konvertieren der E-Mail mit ihrer aktuellen Codierung. Ein allgemeiner Fehler ")
    TEXT("ist aufgetreten."),
    TEXT("Der Server nimmt keine internationalen E-Mail-Adressen an (SMTPUTF8)."),
};

// Italian.
const WCHAR* const kItalian[kFailureTextCount] = {
    TEXT("Si è verificato un errore generale."),
    TEXT("Impossibile connettersi al servizio tramite proxy."),
    TEXT("Impossibile risolvere il proxy. Impossibile risolvere l'host proxy specificato."),
    TEXT("Impossibile risolvere host. Impossibile risolvere l'host remoto specificato."),
    TEXT("Connessione all'host non riuscita."),
    TEXT("Host che utilizza un formato errato/illegale o un host mancante."),
    TEXT("Protocollo non supportato."),
    TEXT("Si è verificato un errore durante la connessione con SSL."),
    TEXT("Il certificato del server è revocato."),
    TEXT("Autenticazione del certificato di servizio non riuscita."),
    TEXT("Timeout dell'operazione."),
    TEXT("Accesso Curl negato dal server remoto."),
    TEXT("Invio dei dati di rete non riuscito."),
    TEXT("Errore nella ricezione dei dati di rete."),
    TEXT("Nome utente o password errati."),
    TEXT("EErrore nella lettura del file locale."),
    TEXT("Nessun mittente è stato specificato."),
    TEXT("Non sono stati specificati destinatari."),
    TEXT("Errore nella conversione del parametro con la codifica corrente. Il parametro non è valido."),
    TEXT("Errore nella conversione dell'e-mail con la codifica corrente a causa della memoria ")
    TEXT("insufficiente."),
    TEXT("Errore nell'invio dell'email perché la sua codifica non è supportata."),
    TEXT("Errore nella conversione dell'e-mail con la codifica corrente. Si è verificato un errore ")
    TEXT("generale."),
    TEXT("Il server non accetta indirizzi e-mail internazionali (SMTPUTF8)."),
};

// Norwegian.
const WCHAR* const kNorwegian[kFailureTextCount] = {
    TEXT("En generell feil oppstod."),
    TEXT("Kan ikke koble til tjenesten via proxy."),
    TEXT("Kunne ikke løse proxy. Den gitte proxy-verten kunne ikke løses."),
    TEXT("Kunne ikke løse verten. Den gitte eksterne verten kunne ikke løses."),
    TEXT("Kunne ikke koble til verten."),
    TEXT("Vert bruker dårlig / ulovlig format eller mangler vert."),
    TEXT("Protokoll som ikke støttes."),
    TEXT("Det oppstod en feil ved tilkobling MED SSL."),
    TEXT("Serversertifikatet er tilbakekalt."),
    TEXT("Tjenestesertifikatgodkjenning mislyktes."),
    TEXT("Tidsavbrudd for operasjonen."),
    TEXT("Curl-pålogging nektet av den eksterne serveren."),
    TEXT("Kunne ikke sende nettverksdataene."),
    TEXT("Feil ved mottak av nettverksdata."),
    TEXT("Feil brukernavn eller passord."),
    TEXT("Feil ved lesing av lokal fil."),
    TEXT("Ingen avsender er spesifisert."),
    TEXT("Ingen mottakere er spesifisert."),
    TEXT("Kunne ikke konvertere parameteren med gjeldende koding. Parameteren er ugyldig."),
    TEXT("Kunne ikke konvertere e-posten med gjeldende koding på grunn av utilstrekkelig minne."),
    TEXT("Kunne ikke sende e-posten fordi kodingen ikke støttes."),
    TEXT("Kunne ikke konvertere e-posten med gjeldende koding. En generell feil oppstod."),
    TEXT("Serveren godtar ikke internasjonale e-postadresser (SMTPUTF8)."),
};

// Spanish.
const WCHAR* const kSpanish[kFailureTextCount] = {
    TEXT("Se produjo un error general."),
    TEXT("No se puede conectar al servicio a través del proxy."),
    TEXT("No se pudo resolver el proxy. El host proxy dado no se pudo resolver."),
    TEXT("No se pudo resolver el host. El host remoto dado no se pudo resolver."),
    TEXT("Error al conectarse al host."),
    TEXT("Host con formato incorrecto/ilegal o host faltante."),
    TEXT("Protocolo no soportado."),
    TEXT("Se produjo un error al conectarse con SSL."),
    TEXT("Se revoca el certificado del servidor."),
    TEXT("Error en la autenticación del certificado de servicio."),
    TEXT("Tiempo de espera de la operación."),
    TEXT("Inicio de sesión Curl denegado por el servidor remoto."),
    TEXT("Error al enviar los datos de red."),
    TEXT("Fallo en la recepción de datos de red."),
    TEXT("Nombre de usuario o contraseña incorrectos."),
    TEXT("Error al leer el archivo local."),
    TEXT("No se ha especificado ningún remitente."),
    TEXT("No se han especificado destinatarios."),
    TEXT("Error al convertir el parámetro con su codificación actual. El parámetro no es válido."),
    TEXT("Error al convertir el correo electrónico con su codificación actual debido a memoria ")
    TEXT("insuficiente."),
    TEXT("Error al enviar el correo electrónico porque su codificación no está soportada."),
    TEXT("Error al convertir el correo electrónico con su codificación actual. Se produjo un error ")
    TEXT("general."),
    TEXT("El servidor no acepta direcciones de correo electrónico internacionales (SMTPUTF8)."),
};

// Swedish.
const WCHAR* const kSwedish[kFailureTextCount] = {
    TEXT("Ett allmänt fel inträffade."),
    TEXT("Det går inte att ansluta till Tjänsten via proxy."),
    TEXT("Kunde inte lösa proxy. Den givna proxyvärden kunde inte lösas."),
    TEXT("Kunde inte lösa värd. Den givna fjärrvärden kunde inte lösas."),
    TEXT("Det gick inte att ansluta till värd."),
    TEXT("Värd med dåligt / olagligt format eller saknad värd."),
    TEXT("Protokoll som inte stöds."),
    TEXT("Fel uppstod vid anslutning med SSL."),
    TEXT("Servercertifikatet återkallas."),
    TEXT("Autentisering av servicecertifikat misslyckades."),
    TEXT("Drift timeout."),
    TEXT("Curl-inloggning nekad av fjärrservern."),
    TEXT("Det gick inte att skicka nätverksdata."),
    TEXT("Fel vid mottagning av nätverksdata."),
    TEXT("Felaktigt användarnamn eller lösenord."),
    TEXT("Fel vid läsning av lokal fil."),
    TEXT("Ingen avsändare har angetts."),
    TEXT("Inga mottagare har angetts."),
    TEXT("Det gick inte att konvertera parametern med dess nuvarande kodning. Parametern är ogiltig."),
    TEXT("Det gick inte att konvertera e-postmeddelandet med dess nuvarande kodning på grund av ")
    TEXT("otillräckligt minne."),
    TEXT("Det gick inte att skicka e-postmeddelandet eftersom dess kodning inte stöds."),
    TEXT("Det gick inte att konvertera e-postmeddelandet med dess nuvarande kodning. Ett allmänt fel ")
    TEXT("inträffade."),
    TEXT("Servern tar inte emot internationella e-postadresser (SMTPUTF8)."),
};

// Chinese (simplified).
const WCHAR* const kChineseSimplified[kFailureTextCount] = {
    TEXT("一般错误"),           TEXT("连接代理错误"),       TEXT("解析代理错误"),
    TEXT("解析主机失败"),       TEXT("连接错误"),           TEXT("主机使用错误/非法格式或缺少主机"),
    TEXT("协议不支持"),         TEXT("使用SSL连接出错"),    TEXT("服务证书是否吊销"),
    TEXT("服务证书认证错误"),   TEXT("操作超时"),           TEXT("远程服务禁用curl去登录"),
    TEXT("发送网络数据错误"),   TEXT("接收网络数据错误"),   TEXT("用户名或密码错误"),
    TEXT("读取本地文件错误"),   TEXT("未指定发送者"),       TEXT("未指定联系人"),
    TEXT("转码失败，参数错误"), TEXT("转码失败，内存不足"), TEXT("转码错误，不支持的编码"),
    TEXT("转码失败，一般错误"),
    TEXT("服务器不接受国际化邮件地址（SMTPUTF8）"),
};

// In the order of the language indexes.
const WCHAR* const* const kSets[kMessageLanguageCount] = {
    kEnglish, kJapanese,          kDanish, kDutch, kFrench, kGerman, kItalian, kNorwegian, kSpanish,
    kSwedish, kChineseSimplified,
};

// clang-format on

} // namespace

const WCHAR* const* FailureTexts(int language) {
    if (language < 0 || language >= kMessageLanguageCount)
        return kEnglish;
    return kSets[language];
}

} // namespace SMTPClientNS
