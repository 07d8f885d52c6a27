#include "results/result_texts.h"

namespace SMTPClientNS {

namespace {

// English.
const WCHAR* const kEnglish[kFailureTextCount] = {
    u"A general error occurred",
    u"Unable to connect to service through proxy.",
    u"Couldn't resolve proxy. The given proxy host could not be resolved.",
    u"Couldn't resolve host. The given remote host could not be resolved.",
    u"Failed to connect to host.",
    u"Host using bad/illegal format or missing host.",
    u"Unsupported protocol.",
    u"Error occurred when connecting with SSL.",
    u"Server certificate is revoked.",
    u"Service certificate authentication failed.",
    u"Operation timeout.",
    u"Curl login denied by the remote server.",
    u"Failed to send the network data.",
    u"Failure in receiving network data.",
    u"Incorrect username or password.",
    u"Error reading local file.",
    u"No sender has been specified.",
    u"No recipients have been specified.",
    u"Failed to convert the parameter with its current encoding. The parameter is invalid.",
    u"Failed to convert the email with its current encoding due to insufficient memory.",
    u"Failed to send the email because its encoding is unsupported.",
    u"Failed to convert the email with its current encoding. A general error occurred.",
};

// Japanese.
const WCHAR* const kJapanese[kFailureTextCount] = {
    u"一般的なエラーが発生しました。",
    u"プロキシを経由してサービスに接続できません。",
    u"プロキシを解決できませんでした。指定されたプロキシ ホストを解決できませんでした。",
    u"ホストを解決できませんでした。 指定されたリモート ホストを解決できませんでした。",
    u"ホスト接続に失敗しました。",
    u"ホストの形式に誤りがあるか、ホストが見つかりません。",
    u"サポートされていないプロトコルです。",
    u"SSL 接続に失敗しました。",
    u"サーバーの証明書は取り消されています。",
    u"サービス証明書の認証に失敗しました。",
    u"操作はタイムアウトしました。",
    u"リモートサーバーは curl のログインを拒否しました。",
    u"ネットワークデータの送信に失敗しました。",
    u"ネットワークデータの受信に失敗しました。",
    u"ユーザー名またはパスワードが正しくありません。",
    u"ローカル ファイルの読み取りエラーです。",
    u"送信者が指定されていません。",
    u"受信者が指定されていません。",
    u"現在のエンコーディングでパラメーターを変換できませんでした。パラメーターが無効です。",
    u"メモリ不足のため、現在のエンコードで電子メールを変換できませんでした。",
    u"エンコードがサポートされていないため、電子メールの送信に失敗しました。",
    u"現在のエンコーディングで電子メールを変換できませんでした。一般的なエラーが発生しました。",
};

// Danish.
const WCHAR* const kDanish[kFailureTextCount] = {
    u"Der opstod en generel fejl.",
    u"Kan ikke oprette forbindelse til service via fuldmagt.",
    u"Kunne ikke løse fuldmagt. Den givne stedfortrædende vært kunne ikke løses.",
    u"Kunne ikke løse vært. Den givne fjernvært kunne ikke løses.",
    u"Kunne ikke oprette forbindelse til værten.",
    u"Vært ved hjælp af dårligt / ulovligt format eller manglende vært.",
    u"Ikke understøttet protokol.",
    u"Fejl opstod ved tilslutning med SSL.",
    u"Servercertifikatet er tilbagekaldt.",
    u"Godkendelse af servicecertifikat mislykkedes.",
    u"Timeout for betjening.",
    u"Curl login nægtet af den eksterne server.",
    u"Kunne ikke sende netværksdataene.",
    u"Manglende modtagelse af netværksdata.",
    u"Forkert brugernavn eller adgangskode.",
    u"Fejl ved læsning af lokal fil.",
    u"Der er ikke angivet nogen afsender.",
    u"Der er ikke angivet nogen modtagere.",
    u"Kunne ikke konvertere parameteren med dens nuværende kodning. Parameteren er ugyldig.",
    u"Kunne ikke konvertere e-mailen med dens nuværende kodning på grund af utilstrækkelig "
    u"hukommelse.",
    u"Kunne ikke sende e-mailen, fordi dens kodning ikke understøttes.",
    u"Kunne ikke konvertere e-mailen med dens nuværende kodning. Der opstod en generel fejl.",
};

// Dutch.
const WCHAR* const kDutch[kFailureTextCount] = {
    u"Er is een algemene fout opgetreden.",
    u"Kan geen verbinding maken met de service via proxy.",
    u"Kon proxy niet oplossen. De opgegeven proxy-host kon niet worden opgelost.",
    u"Kon host niet oplossen. De opgegeven externe host kon niet worden opgelost.",
    u"Kon geen verbinding maken met de host.",
    u"Host met slechte / illegale indeling of ontbrekende host.",
    u"Niet ondersteund protocol.",
    u"Er is een fout opgetreden bij het verbinden met SSL.",
    u"Server certificaat is ingetrokken.",
    u"Authenticatie van servicecertificaten is mislukt.",
    u"Operatie time-out.",
    u"Curl login geweigerd door de externe server.",
    u"Kon de netwerkgegevens niet verzenden.",
    u"Fout bij het ontvangen van netwerkgegevens.",
    u"Onjuiste gebruikersnaam of wachtwoord.",
    u"Fout bij het lezen van lokaal bestand.",
    u"Er is geen afzender opgegeven.",
    u"Er zijn geen ontvangers gespecificeerd.",
    u"Kon de parameter niet converteren met de huidige codering. De parameter is ongeldig.",
    u"Kon de e-mail niet converteren met de huidige codering vanwege onvoldoende geheugen.",
    u"Het verzenden van de e-mail is mislukt omdat de codering niet wordt ondersteund.",
    u"Kon de e-mail niet converteren met de huidige codering. Er is een algemene fout opgetreden.",
};

// French.
const WCHAR* const kFrench[kFailureTextCount] = {
    u"Une erreur générale s'est produite.",
    u"Impossible de se connecter au service via un proxy.",
    u"Impossible de résoudre le proxy. L'hôte proxy donné n'a pas pu être résolu.",
    u"Impossible de résoudre l'hôte. L'hôte distant donné n'a pas pu être résolu.",
    u"Échec de la connexion à l'hôte.",
    u"Hôte utilisant un format incorrect/illégal ou hôte manquant.",
    u"Protocole non pris en charge.",
    u"Une erreur s'est produite lors de la connexion avec SSL.",
    u"Le certificat du serveur est révoqué.",
    u"L'authentification du certificat de service a échoué.",
    u"Délai d'expiration de l'opération.",
    u"Connexion Curl refusée par le serveur distant.",
    u"Échec de l'envoi des données réseau.",
    u"Échec de la réception des données réseau.",
    u"Nom d'utilisateur ou mot de passe incorrect.",
    u"Erreur lors de la lecture du fichier local.",
    u"Aucun expéditeur n'a été spécifié.",
    u"Aucun destinataire n'a été spécifié.",
    u"Erreur de conversion du paramètre avec votre encodage actuel. Le paramètre n'est pas valide.",
    u"Erreur de conversion de l'e-mail avec son encodage actuel en raison d'une mémoire "
    u"insuffisante.",
    u"Erreur d'envoi de l'e-mail car son encodage n'est pas supporté.",
    u"Erreur de conversion de l'e-mail avec votre encodage actuel. Une erreur générale s'est "
    u"produite.",
};

// German.
const WCHAR* const kGerman[kFailureTextCount] = {
    u"Ein allgemeiner Fehler ist aufgetreten.",
    u"Verbindung zum Dienst über Proxy nicht möglich.",
    u"Proxy konnte nicht aufgelöst werden. Der angegebene Proxy-Host konnte nicht aufgelöst "
    u"werden.",
    u"Host konnte nicht aufgelöst werden. Der angegebene Remote-Host konnte nicht aufgelöst "
    u"werden.",
    u"Verbindung zum Host fehlgeschlagen.",
    u"Host mit schlechtem / illegalem Format oder fehlendem Host.",
    u"Nicht unterstütztes Protokoll.",
    u"Beim Verbinden mit SSL ist ein Fehler aufgetreten.",
    u"Das Serverzertifikat wurde widerrufen.",
    u"Authentifizierung des Dienst Zertifikats fehlgeschlagen.",
    u"Betriebszeitüberschreitung.",
    u"Curl-Anmeldung vom Remote-Server abgelehnt.",
    u"Fehler beim Senden der Netzwerkdaten.",
    u"Fehler beim Empfang von Netzwerkdaten.",
    u"Falscher Benutzername oder Passwort.",
    u"Fehler beim Lesen der lokalen Datei.",
    u"Es wurde kein Absender angegeben.",
    u"Es wurden keine Empfänger angegeben.",
    u"Fehler beim Konvertieren des Parameters mit seiner aktuellen Codierung. Der Parameter ist "
    u"ungültig.",
    u"Fehler beim Konvertieren der E-Mail mit der aktuellen Codierung aufgrund unzureichenden "
    u"Speichers.",
    u"Die E-Mail konnte nicht gesendet werden, da ihre Codierung nicht unterstützt wird.",
    u"Fehler beim Konvertieren der E-Mail mit ihrer aktuellen Codierung. Ein allgemeiner Fehler "
    u"ist aufgetreten.",
};

// Italian.
const WCHAR* const kItalian[kFailureTextCount] = {
    u"Si è verificato un errore generale.",
    u"Impossibile connettersi al servizio tramite proxy.",
    u"Impossibile risolvere il proxy. Impossibile risolvere l'host proxy specificato.",
    u"Impossibile risolvere host. Impossibile risolvere l'host remoto specificato.",
    u"Connessione all'host non riuscita.",
    u"Host che utilizza un formato errato/illegale o un host mancante.",
    u"Protocollo non supportato.",
    u"Si è verificato un errore durante la connessione con SSL.",
    u"Il certificato del server è revocato.",
    u"Autenticazione del certificato di servizio non riuscita.",
    u"Timeout dell'operazione.",
    u"Accesso Curl negato dal server remoto.",
    u"Invio dei dati di rete non riuscito.",
    u"Errore nella ricezione dei dati di rete.",
    u"Nome utente o password errati.",
    u"EErrore nella lettura del file locale.",
    u"Nessun mittente è stato specificato.",
    u"Non sono stati specificati destinatari.",
    u"Errore nella conversione del parametro con la codifica corrente. Il parametro non è valido.",
    u"Errore nella conversione dell'e-mail con la codifica corrente a causa della memoria "
    u"insufficiente.",
    u"Errore nell'invio dell'email perché la sua codifica non è supportata.",
    u"Errore nella conversione dell'e-mail con la codifica corrente. Si è verificato un errore "
    u"generale.",
};

// Norwegian.
const WCHAR* const kNorwegian[kFailureTextCount] = {
    u"En generell feil oppstod.",
    u"Kan ikke koble til tjenesten via proxy.",
    u"Kunne ikke løse proxy. Den gitte proxy-verten kunne ikke løses.",
    u"Kunne ikke løse verten. Den gitte eksterne verten kunne ikke løses.",
    u"Kunne ikke koble til verten.",
    u"Vert bruker dårlig / ulovlig format eller mangler vert.",
    u"Protokoll som ikke støttes.",
    u"Det oppstod en feil ved tilkobling MED SSL.",
    u"Serversertifikatet er tilbakekalt.",
    u"Tjenestesertifikatgodkjenning mislyktes.",
    u"Tidsavbrudd for operasjonen.",
    u"Curl-pålogging nektet av den eksterne serveren.",
    u"Kunne ikke sende nettverksdataene.",
    u"Feil ved mottak av nettverksdata.",
    u"Feil brukernavn eller passord.",
    u"Feil ved lesing av lokal fil.",
    u"Ingen avsender er spesifisert.",
    u"Ingen mottakere er spesifisert.",
    u"Kunne ikke konvertere parameteren med gjeldende koding. Parameteren er ugyldig.",
    u"Kunne ikke konvertere e-posten med gjeldende koding på grunn av utilstrekkelig minne.",
    u"Kunne ikke sende e-posten fordi kodingen ikke støttes.",
    u"Kunne ikke konvertere e-posten med gjeldende koding. En generell feil oppstod.",
};

// Spanish.
const WCHAR* const kSpanish[kFailureTextCount] = {
    u"Se produjo un error general.",
    u"No se puede conectar al servicio a través del proxy.",
    u"No se pudo resolver el proxy. El host proxy dado no se pudo resolver.",
    u"No se pudo resolver el host. El host remoto dado no se pudo resolver.",
    u"Error al conectarse al host.",
    u"Host con formato incorrecto/ilegal o host faltante.",
    u"Protocolo no soportado.",
    u"Se produjo un error al conectarse con SSL.",
    u"Se revoca el certificado del servidor.",
    u"Error en la autenticación del certificado de servicio.",
    u"Tiempo de espera de la operación.",
    u"Inicio de sesión Curl denegado por el servidor remoto.",
    u"Error al enviar los datos de red.",
    u"Fallo en la recepción de datos de red.",
    u"Nombre de usuario o contraseña incorrectos.",
    u"Error al leer el archivo local.",
    u"No se ha especificado ningún remitente.",
    u"No se han especificado destinatarios.",
    u"Error al convertir el parámetro con su codificación actual. El parámetro no es válido.",
    u"Error al convertir el correo electrónico con su codificación actual debido a memoria "
    u"insuficiente.",
    u"Error al enviar el correo electrónico porque su codificación no está soportada.",
    u"Error al convertir el correo electrónico con su codificación actual. Se produjo un error "
    u"general.",
};

// Swedish.
const WCHAR* const kSwedish[kFailureTextCount] = {
    u"Ett allmänt fel inträffade.",
    u"Det går inte att ansluta till Tjänsten via proxy.",
    u"Kunde inte lösa proxy. Den givna proxyvärden kunde inte lösas.",
    u"Kunde inte lösa värd. Den givna fjärrvärden kunde inte lösas.",
    u"Det gick inte att ansluta till värd.",
    u"Värd med dåligt / olagligt format eller saknad värd.",
    u"Protokoll som inte stöds.",
    u"Fel uppstod vid anslutning med SSL.",
    u"Servercertifikatet återkallas.",
    u"Autentisering av servicecertifikat misslyckades.",
    u"Drift timeout.",
    u"Curl-inloggning nekad av fjärrservern.",
    u"Det gick inte att skicka nätverksdata.",
    u"Fel vid mottagning av nätverksdata.",
    u"Felaktigt användarnamn eller lösenord.",
    u"Fel vid läsning av lokal fil.",
    u"Ingen avsändare har angetts.",
    u"Inga mottagare har angetts.",
    u"Det gick inte att konvertera parametern med dess nuvarande kodning. Parametern är ogiltig.",
    u"Det gick inte att konvertera e-postmeddelandet med dess nuvarande kodning på grund av "
    u"otillräckligt minne.",
    u"Det gick inte att skicka e-postmeddelandet eftersom dess kodning inte stöds.",
    u"Det gick inte att konvertera e-postmeddelandet med dess nuvarande kodning. Ett allmänt fel "
    u"inträffade.",
};

// Chinese (simplified).
const WCHAR* const kChineseSimplified[kFailureTextCount] = {
    u"一般错误",           u"连接代理错误",       u"解析代理错误",
    u"解析主机失败",       u"连接错误",           u"主机使用错误/非法格式或缺少主机",
    u"协议不支持",         u"使用SSL连接出错",    u"服务证书是否吊销",
    u"服务证书认证错误",   u"操作超时",           u"远程服务禁用curl去登录",
    u"发送网络数据错误",   u"接收网络数据错误",   u"用户名或密码错误",
    u"读取本地文件错误",   u"未指定发送者",       u"未指定联系人",
    u"转码失败，参数错误", u"转码失败，内存不足", u"转码错误，不支持的编码",
    u"转码失败，一般错误",
};

// In the order of the language indexes.
const WCHAR* const* const kSets[kMessageLanguageCount] = {
    kEnglish, kJapanese,          kDanish, kDutch, kFrench, kGerman, kItalian, kNorwegian, kSpanish,
    kSwedish, kChineseSimplified,
};

} // namespace

const WCHAR* const* FailureTexts(int language) {
    if (language < 0 || language >= kMessageLanguageCount)
        return kEnglish;
    return kSets[language];
}

} // namespace SMTPClientNS
