#include "tools/batch_options.h"

#include "measure/arithmetic_error.h"
#include "measure/number_text.h"

#include <stdexcept>

namespace kanat {
namespace {

double positiveNumber(const std::string& text, char decimal) {
    for (const char separator : {'.', decimal}) {
        try {
            const double value = parseLocale(text, separator);
            if (value > 0) return value;
        } catch (const ArithmeticError&) {
        }
    }
    throw std::invalid_argument("pozitif bir sayı olmalı: " + text);
}

void setMode(BatchOptions& options, BatchMode mode) {
    if (options.mode != BatchMode::Measure && options.mode != mode)
        throw std::invalid_argument("--complete, --auto ve --check'ten yalnızca biri kullanılabilir");
    options.mode = mode;
}

// The options each mode takes, and only those.
void checkMode(const BatchOptions& options, const std::vector<std::string>& positional) {
    const BatchMode mode = options.mode;
    if (mode != BatchMode::Measure && mode != BatchMode::Auto && options.record)
        throw std::invalid_argument("--record yalnızca ölçümlerle ya da --auto ile birlikte kullanılır");
    if (mode == BatchMode::Check && (!positional.empty() || !options.collection.empty()))
        throw std::invalid_argument("--check yalnızca denetlenecek koleksiyon dosyasını alır");
    if (mode == BatchMode::Complete && options.collection.empty())
        throw std::invalid_argument("--complete için --collection KOLEKSİYON.tps verilmeli");
    if (mode == BatchMode::Auto && options.collection.empty())
        throw std::invalid_argument("--auto için --collection KOLEKSİYON.tps verilmeli");
    if (mode == BatchMode::Auto && positional.empty())
        throw std::invalid_argument("--auto için en az bir kanat resmi verilmeli");
    if (mode == BatchMode::Auto && options.image)
        throw std::invalid_argument("--auto ile --image kullanılmaz: resimler komut satırında verilir");
    if (mode == BatchMode::Measure && !options.collection.empty())
        throw std::invalid_argument("--collection yalnızca --complete ya da --auto ile kullanılır");
}

} // namespace

std::string mmPerPixelText(double mmPerPixel, char decimal) { return formatGeneral(mmPerPixel, decimal); }

void usePixelsPerMm(BatchOptions& options, double pixelsPerMm) {
    options.mmPerPixelGiven = roundHalfEven(1 / pixelsPerMm, 9);
    options.mmPerPixel = mmPerPixelText(*options.mmPerPixelGiven, options.decimal);
}

BatchOptions parseBatchOptions(const std::vector<std::string>& arguments) {
    BatchOptions options;
    std::optional<std::string> mmPerPixel;
    std::optional<std::string> pixelsPerMm;
    std::vector<std::string> positional;
    std::optional<std::string> checked;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string argument = arguments[i];
        std::optional<std::string> attached;
        if (argument.rfind("--", 0) == 0 && argument.find('=') != std::string::npos) {
            attached = argument.substr(argument.find('=') + 1);
            argument = argument.substr(0, argument.find('='));
        }
        auto value = [&]() -> std::string {
            if (attached) return *attached;
            if (i + 1 >= arguments.size()) throw std::invalid_argument(argument + " bir değer bekliyor");
            return arguments[++i];
        };
        if (argument == "--help" || argument == "-h")
            options.help = true;
        else if (argument == "--mm-per-pixel")
            mmPerPixel = value();
        else if (argument == "--pixels-per-mm")
            pixelsPerMm = value();
        else if (argument == "--decimal") {
            const std::string decimal = value();
            if (decimal != "." && decimal != ",")
                throw std::invalid_argument("--decimal \".\" ya da \",\" olmalı: " + decimal);
            options.decimal = decimal[0];
        } else if (argument == "--image")
            options.image = value();
        else if (argument == "--record")
            options.record = value();
        else if (argument == "--complete")
            setMode(options, BatchMode::Complete);
        else if (argument == "--auto")
            setMode(options, BatchMode::Auto);
        else if (argument == "--collection")
            options.collection = value();
        else if (argument == "--check") {
            setMode(options, BatchMode::Check);
            checked = value();
        } else if (argument.rfind("-", 0) == 0 && argument.size() > 1)
            throw std::invalid_argument("bilinmeyen seçenek: " + argument);
        else
            positional.push_back(argument);
    }
    if (options.help) return options;
    if (mmPerPixel && pixelsPerMm)
        throw std::invalid_argument("--mm-per-pixel ile --pixels-per-mm'den yalnızca biri verilebilir");
    if (mmPerPixel) options.mmPerPixelGiven = positiveNumber(*mmPerPixel, options.decimal);
    options.mmPerPixel = mmPerPixelText(options.mmPerPixelGiven.value_or(sourcePixelMm), options.decimal);
    if (pixelsPerMm) {
        // A number is the resolution itself; anything else names a saved set-up.
        try {
            usePixelsPerMm(options, positiveNumber(*pixelsPerMm, options.decimal));
        } catch (const std::invalid_argument&) {
            options.setupName = *pixelsPerMm;
        }
    }
    checkMode(options, positional);
    if (options.mode == BatchMode::Check) {
        options.collection = *checked;
        return options;
    }
    if (options.mode == BatchMode::Auto) {
        options.pictures = positional;
        return options;
    }
    if (positional.size() != 1) throw std::invalid_argument("tek bir nokta dosyası verilmeli (yardım için --help)");
    options.landmarks = positional.front();
    return options;
}

const char* const batchHelp =
    R"(Kullanım: kanat-hesapla [--mm-per-pixel M] [--decimal C] [--image DOSYA] [--record DOSYA] NOKTALAR
          kanat-hesapla --complete --collection KOLEKSİYON.tps [--image DOSYA] NOKTALAR
          kanat-hesapla --auto --collection KOLEKSİYON.tps [--record DOSYA] RESİM...
          kanat-hesapla --check KOLEKSİYON.tps

Kanat noktalarının koordinatlarından, penceredeki "Hesapla" düğmesinin yaptığı ölçümlerin
tamamını pencere açmadan hesaplar: 19 açı, 53 oran, 3 indeks, 24 uzunluk (mm) ve 18 renk.
Her örnek için pencerenin listeye eklediği 117 sonuç satırını (UTF-8) standart çıktıya yazar.

NOKTALAR şunlardan biridir:
  - Koordinat dosyası: her satırda bir nokta, "x;y" biçiminde, en çok 18 satır. Metinler
    koordinat kutularına yazılmış gibi olduğu gibi alınır ("123,5;7" x için 123,5 demektir).
    Boş ya da eksik satır o noktanın iki kutusunu boş bırakır.
  - TPS dosyası (ilk dolu ve "#" ile başlamayan satırı LM= ile başlar), bir ya da çok örnek:
    LM=n ve n koordinat satırı; ardından herhangi sırada IMAGE=, ID=, SCALE=, COMMENT=,
    VARIABLES=, CURVES=, POINTS=, OUTLINES= satırları. CURVES/OUTLINES noktaları atlanır.
    LM= satırından sonra hiç koordinat satırı olmayan ama IMAGE= satırı olan örnek, noktaları
    henüz konmamış bir resimdir: bütün noktaları eksik sayılır.
    18'den az noktalı örnekte eksikler boş kalır, fazlasında ilk 18 alınır (uyarı verilir).
    Üç koordinatlı (3 boyutlu) satır hatadır.

Seçenekler:
  --mm-per-pixel M  bir pikselin milimetre karşılığı (varsayılan 0.010526316, bir resim pikseli);
                    TPS dosyasındaki SCALE= satırı kendi örneği için bunun yerine geçer
  --pixels-per-mm P bir milimetredeki piksel sayısı (ör. 312,4) ya da pencerede K ile kaydedilmiş
                    bir ölçek kurulumunun adı (ör. "Stereo mikroskop 2x"): piksel başına
                    milimetre 1/P olur (dokuz ondalık; 95 için 0.010526316). --mm-per-pixel ile
                    birlikte verilmez; TPS dosyasındaki SCALE= yine kendi örneği için geçerlidir
  --decimal C       ondalık ayırıcı, "." (varsayılan) ya da ","; sonuçlar bununla yazılır
  --image DOSYA     renk değerlerinin okunacağı kanat resmi (TPS'deki IMAGE= satırı, TPS dosyasının
                    yanındaki resme bakar). Noktalar resim pikselidir, y resmin alt kenarından
                    yukarı doğru sayılır. Resim yoksa her okuma -1'dir.
  --record DOSYA    her örnek için 12.txt biçiminde bir kayıt satırı (118 alan, TAB ile ayrılmış,
                    kod sayfası 1254, CR LF) bu dosyanın sonuna eklenir
  --help            bu yardımı gösterir

Koleksiyon (kaydedilen kanatların 12.tps dosyası ve resimleri):
  --complete        NOKTALAR'daki her örneğin yerleştirilmemiş noktalarını koleksiyondan önerir
                    ve örneği TPS olarak yazar: LM=18, 18 koordinat satırı (resim pikseli, y
                    resmin alt kenarından yukarı; yerleştirilmiş noktalar olduğu gibi), ardından
                    IMAGE=, ID=, (biliniyorsa) SCALE= ve denetlenmesi gereken öneriler varsa
                    "COMMENT=denetlenecek noktalar: 6 7 14" (örneğin kendi açıklaması korunur,
                    numaralar "; " ile sonuna eklenir). Örnekte en az iki nokta yerleşmiş olmalı
                    (en iyisi 1. nokta ve ondan en uzak nokta) ya da hiçbiri: o zaman kanat
                    resimde bulunur ve 18 noktanın hepsi önerilir; bunun için koleksiyonda resmi
                    bilinen en az 5 kanat gerekir. Resim --image ile ya da TPS dosyasının
                    yanındaki IMAGE= ile bulunur. Bu kipte koordinat dosyasının satırları da resim
                    pikselidir ("x;y", y alttan yukarı, ondalık "." ya da ","), boş satır ya da
                    "-1;-1" yerleştirilmemiş noktadır ve --image gereklidir.
  --auto            her RESİM'deki kanadı koleksiyonla bulur, 18 noktasını yerleştirir ve hepsini
                    resimlerin verildiği sırayla TPS olarak standart çıktıya yazar: LM=18, 18
                    koordinat satırı (resim pikseli, y alttan yukarı, beş ondalık, "."),
                    IMAGE= (resim komut satırındaki gibi), ID= (resmin sırası: 1, 2, ...),
                    SCALE=0.010526316 (--mm-per-pixel ile başkası) ve denetlenmesi gereken
                    noktalar varsa COMMENT=denetlenecek noktalar: ... Standart hataya bir özet
                    yazar (işlenen resimler, yerleştirilen kanatlar, atlanan resimler, denetlenecek
                    noktalar ve kanat başına ortalaması); uçbirimde çalışırken "12/300 resim"
                    biçiminde ilerlemeyi gösterir. Okunamayan bir resim ya da kanadı bulunamayan
                    bir resim adıyla söylenip atlanır, öbürleri yapılır, çıkış durumu 2 olur.
                    --record DOSYA her yerleştirilen kanadın 12.txt kaydını, renkleri resimden
                    okuyarak, yazılan TPS için "kanat-hesapla --record" ne eklerse onu ekler.
                    12.tps'ye kendiliğinden hiçbir şey yazılmaz: noktalar denetlendikten sonra
                    çıktı elle eklenir. Koleksiyonda resmi bilinen en az 5 kanat gerekir.
                    İki çekirdek kullanılır; bellekte aynı anda en çok iki resim bulunur.
  --collection DOSYA  --complete'in ve --auto'nun koleksiyonu (12.tps). Noktaların çevresi yanındaki
                    DOSYA.kanat-patches dosyasında saklanır; bu dosya yoksa ya da koleksiyonla
                    uyuşmuyorsa resimlerden yeniden yapılır (resimler önce son görüldükleri
                    yerde, sonra koleksiyon dosyasının yanında aranır).
  --check DOSYA     koleksiyondaki her tam kanadın biçimini koleksiyonun ortalamasıyla karşılaştırır.
                    Procrustes uzaklığı Q3 + 1,5 × IQR sınırını aşan her kanat için bir satır
                    yazar, alanlar TAB ile ayrılmış: ID (yoksa dosyadaki sırası), uzaklık, sınır
                    ve "swap=A,B" (A ile B noktaları yer değiştirince kanat sınırın içine dönüyorsa)
                    ya da "landmark=N" (diğerlerinin beklediği yerden en uzak nokta). Sağlam
                    kanatlar için satır yazılmaz. En az 4 kanat gerekir.

Hatalı girişte dosya adı ve satırı ile birlikte bir ileti yazılır, çıkış durumu 2 olur ve
hesaplanmayan örnek için kayıt eklenmez. --complete, koleksiyonun yapamadığı bir öneri istendiğinde
(örneğin tek noktası yerleşmiş bir örnek için en az 5 resimli kanat yoksa) ya da kanadı resimde
bulamadığında da 2 ile çıkar.

Denetlemeden güvenmeyin: --auto'nun ya da --complete'in çıktısındaki COMMENT= satırının saydığı
noktalar, koleksiyonun emin olamadığı noktalardır; önce onlara bakın (çoğu kez ön kenar
damarındaki noktalar birkaç piksel kayar). Aynı resimleri pencerede açıp noktaları
karşılaştırın ya da çıktıyı bir dosyaya yazıp "kanat-hesapla --check DOSYA" ile biçimlerini
denetleyin (en az 4 kanat).
)";

} // namespace kanat
