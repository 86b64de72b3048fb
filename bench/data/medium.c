/* Sensor hub firmware core: ring buffers, fixed-point filter banks, a command
 * parser and CRC tables for the channels of a multi-sensor board. */
#include <stdint.h>
#include <stddef.h>
#include <stdbool.h>

typedef int32_t q15_16_t;
#define Q16_ONE 65536
#define Q16_MUL(a, b) ((q15_16_t)(((int64_t)(a) * (b)) >> 16))

static const uint32_t crc32_table[256] = {
  0x00000000u, 0x77073096u, 0xEE0E612Cu, 0x990951BAu,
  0x076DC419u, 0x706AF48Fu, 0xE963A535u, 0x9E6495A3u,
  0x0EDB8832u, 0x79DCB8A4u, 0xE0D5E91Eu, 0x97D2D988u,
  0x09B64C2Bu, 0x7EB17CBDu, 0xE7B82D07u, 0x90BF1D91u,
  0x1DB71064u, 0x6AB020F2u, 0xF3B97148u, 0x84BE41DEu,
  0x1ADAD47Du, 0x6DDDE4EBu, 0xF4D4B551u, 0x83D385C7u,
  0x136C9856u, 0x646BA8C0u, 0xFD62F97Au, 0x8A65C9ECu,
  0x14015C4Fu, 0x63066CD9u, 0xFA0F3D63u, 0x8D080DF5u,
  0x3B6E20C8u, 0x4C69105Eu, 0xD56041E4u, 0xA2677172u,
  0x3C03E4D1u, 0x4B04D447u, 0xD20D85FDu, 0xA50AB56Bu,
  0x35B5A8FAu, 0x42B2986Cu, 0xDBBBC9D6u, 0xACBCF940u,
  0x32D86CE3u, 0x45DF5C75u, 0xDCD60DCFu, 0xABD13D59u,
  0x26D930ACu, 0x51DE003Au, 0xC8D75180u, 0xBFD06116u,
  0x21B4F4B5u, 0x56B3C423u, 0xCFBA9599u, 0xB8BDA50Fu,
  0x2802B89Eu, 0x5F058808u, 0xC60CD9B2u, 0xB10BE924u,
  0x2F6F7C87u, 0x58684C11u, 0xC1611DABu, 0xB6662D3Du,
  0x76DC4190u, 0x01DB7106u, 0x98D220BCu, 0xEFD5102Au,
  0x71B18589u, 0x06B6B51Fu, 0x9FBFE4A5u, 0xE8B8D433u,
  0x7807C9A2u, 0x0F00F934u, 0x9609A88Eu, 0xE10E9818u,
  0x7F6A0DBBu, 0x086D3D2Du, 0x91646C97u, 0xE6635C01u,
  0x6B6B51F4u, 0x1C6C6162u, 0x856530D8u, 0xF262004Eu,
  0x6C0695EDu, 0x1B01A57Bu, 0x8208F4C1u, 0xF50FC457u,
  0x65B0D9C6u, 0x12B7E950u, 0x8BBEB8EAu, 0xFCB9887Cu,
  0x62DD1DDFu, 0x15DA2D49u, 0x8CD37CF3u, 0xFBD44C65u,
  0x4DB26158u, 0x3AB551CEu, 0xA3BC0074u, 0xD4BB30E2u,
  0x4ADFA541u, 0x3DD895D7u, 0xA4D1C46Du, 0xD3D6F4FBu,
  0x4369E96Au, 0x346ED9FCu, 0xAD678846u, 0xDA60B8D0u,
  0x44042D73u, 0x33031DE5u, 0xAA0A4C5Fu, 0xDD0D7CC9u,
  0x5005713Cu, 0x270241AAu, 0xBE0B1010u, 0xC90C2086u,
  0x5768B525u, 0x206F85B3u, 0xB966D409u, 0xCE61E49Fu,
  0x5EDEF90Eu, 0x29D9C998u, 0xB0D09822u, 0xC7D7A8B4u,
  0x59B33D17u, 0x2EB40D81u, 0xB7BD5C3Bu, 0xC0BA6CADu,
  0xEDB88320u, 0x9ABFB3B6u, 0x03B6E20Cu, 0x74B1D29Au,
  0xEAD54739u, 0x9DD277AFu, 0x04DB2615u, 0x73DC1683u,
  0xE3630B12u, 0x94643B84u, 0x0D6D6A3Eu, 0x7A6A5AA8u,
  0xE40ECF0Bu, 0x9309FF9Du, 0x0A00AE27u, 0x7D079EB1u,
  0xF00F9344u, 0x8708A3D2u, 0x1E01F268u, 0x6906C2FEu,
  0xF762575Du, 0x806567CBu, 0x196C3671u, 0x6E6B06E7u,
  0xFED41B76u, 0x89D32BE0u, 0x10DA7A5Au, 0x67DD4ACCu,
  0xF9B9DF6Fu, 0x8EBEEFF9u, 0x17B7BE43u, 0x60B08ED5u,
  0xD6D6A3E8u, 0xA1D1937Eu, 0x38D8C2C4u, 0x4FDFF252u,
  0xD1BB67F1u, 0xA6BC5767u, 0x3FB506DDu, 0x48B2364Bu,
  0xD80D2BDAu, 0xAF0A1B4Cu, 0x36034AF6u, 0x41047A60u,
  0xDF60EFC3u, 0xA867DF55u, 0x316E8EEFu, 0x4669BE79u,
  0xCB61B38Cu, 0xBC66831Au, 0x256FD2A0u, 0x5268E236u,
  0xCC0C7795u, 0xBB0B4703u, 0x220216B9u, 0x5505262Fu,
  0xC5BA3BBEu, 0xB2BD0B28u, 0x2BB45A92u, 0x5CB36A04u,
  0xC2D7FFA7u, 0xB5D0CF31u, 0x2CD99E8Bu, 0x5BDEAE1Du,
  0x9B64C2B0u, 0xEC63F226u, 0x756AA39Cu, 0x026D930Au,
  0x9C0906A9u, 0xEB0E363Fu, 0x72076785u, 0x05005713u,
  0x95BF4A82u, 0xE2B87A14u, 0x7BB12BAEu, 0x0CB61B38u,
  0x92D28E9Bu, 0xE5D5BE0Du, 0x7CDCEFB7u, 0x0BDBDF21u,
  0x86D3D2D4u, 0xF1D4E242u, 0x68DDB3F8u, 0x1FDA836Eu,
  0x81BE16CDu, 0xF6B9265Bu, 0x6FB077E1u, 0x18B74777u,
  0x88085AE6u, 0xFF0F6A70u, 0x66063BCAu, 0x11010B5Cu,
  0x8F659EFFu, 0xF862AE69u, 0x616BFFD3u, 0x166CCF45u,
  0xA00AE278u, 0xD70DD2EEu, 0x4E048354u, 0x3903B3C2u,
  0xA7672661u, 0xD06016F7u, 0x4969474Du, 0x3E6E77DBu,
  0xAED16A4Au, 0xD9D65ADCu, 0x40DF0B66u, 0x37D83BF0u,
  0xA9BCAE53u, 0xDEBB9EC5u, 0x47B2CF7Fu, 0x30B5FFE9u,
  0xBDBDF21Cu, 0xCABAC28Au, 0x53B39330u, 0x24B4A3A6u,
  0xBAD03605u, 0xCDD70693u, 0x54DE5729u, 0x23D967BFu,
  0xB3667A2Eu, 0xC4614AB8u, 0x5D681B02u, 0x2A6F2B94u,
  0xB40BBE37u, 0xC30C8EA1u, 0x5A05DF1Bu, 0x2D02EF8Du,
};

uint32_t crc32_update(uint32_t crc, const uint8_t *data, size_t length) {
  crc = ~crc;
  while (length-- > 0u) {
    crc = crc32_table[(crc ^ *data++) & 0xFFu] ^ (crc >> 8);
  }
  return ~crc;
}

static const uint32_t crc32c_table[256] = {
  0x00000000u, 0xF26B8303u, 0xE13B70F7u, 0x1350F3F4u,
  0xC79A971Fu, 0x35F1141Cu, 0x26A1E7E8u, 0xD4CA64EBu,
  0x8AD958CFu, 0x78B2DBCCu, 0x6BE22838u, 0x9989AB3Bu,
  0x4D43CFD0u, 0xBF284CD3u, 0xAC78BF27u, 0x5E133C24u,
  0x105EC76Fu, 0xE235446Cu, 0xF165B798u, 0x030E349Bu,
  0xD7C45070u, 0x25AFD373u, 0x36FF2087u, 0xC494A384u,
  0x9A879FA0u, 0x68EC1CA3u, 0x7BBCEF57u, 0x89D76C54u,
  0x5D1D08BFu, 0xAF768BBCu, 0xBC267848u, 0x4E4DFB4Bu,
  0x20BD8EDEu, 0xD2D60DDDu, 0xC186FE29u, 0x33ED7D2Au,
  0xE72719C1u, 0x154C9AC2u, 0x061C6936u, 0xF477EA35u,
  0xAA64D611u, 0x580F5512u, 0x4B5FA6E6u, 0xB93425E5u,
  0x6DFE410Eu, 0x9F95C20Du, 0x8CC531F9u, 0x7EAEB2FAu,
  0x30E349B1u, 0xC288CAB2u, 0xD1D83946u, 0x23B3BA45u,
  0xF779DEAEu, 0x05125DADu, 0x1642AE59u, 0xE4292D5Au,
  0xBA3A117Eu, 0x4851927Du, 0x5B016189u, 0xA96AE28Au,
  0x7DA08661u, 0x8FCB0562u, 0x9C9BF696u, 0x6EF07595u,
  0x417B1DBCu, 0xB3109EBFu, 0xA0406D4Bu, 0x522BEE48u,
  0x86E18AA3u, 0x748A09A0u, 0x67DAFA54u, 0x95B17957u,
  0xCBA24573u, 0x39C9C670u, 0x2A993584u, 0xD8F2B687u,
  0x0C38D26Cu, 0xFE53516Fu, 0xED03A29Bu, 0x1F682198u,
  0x5125DAD3u, 0xA34E59D0u, 0xB01EAA24u, 0x42752927u,
  0x96BF4DCCu, 0x64D4CECFu, 0x77843D3Bu, 0x85EFBE38u,
  0xDBFC821Cu, 0x2997011Fu, 0x3AC7F2EBu, 0xC8AC71E8u,
  0x1C661503u, 0xEE0D9600u, 0xFD5D65F4u, 0x0F36E6F7u,
  0x61C69362u, 0x93AD1061u, 0x80FDE395u, 0x72966096u,
  0xA65C047Du, 0x5437877Eu, 0x4767748Au, 0xB50CF789u,
  0xEB1FCBADu, 0x197448AEu, 0x0A24BB5Au, 0xF84F3859u,
  0x2C855CB2u, 0xDEEEDFB1u, 0xCDBE2C45u, 0x3FD5AF46u,
  0x7198540Du, 0x83F3D70Eu, 0x90A324FAu, 0x62C8A7F9u,
  0xB602C312u, 0x44694011u, 0x5739B3E5u, 0xA55230E6u,
  0xFB410CC2u, 0x092A8FC1u, 0x1A7A7C35u, 0xE811FF36u,
  0x3CDB9BDDu, 0xCEB018DEu, 0xDDE0EB2Au, 0x2F8B6829u,
  0x82F63B78u, 0x709DB87Bu, 0x63CD4B8Fu, 0x91A6C88Cu,
  0x456CAC67u, 0xB7072F64u, 0xA457DC90u, 0x563C5F93u,
  0x082F63B7u, 0xFA44E0B4u, 0xE9141340u, 0x1B7F9043u,
  0xCFB5F4A8u, 0x3DDE77ABu, 0x2E8E845Fu, 0xDCE5075Cu,
  0x92A8FC17u, 0x60C37F14u, 0x73938CE0u, 0x81F80FE3u,
  0x55326B08u, 0xA759E80Bu, 0xB4091BFFu, 0x466298FCu,
  0x1871A4D8u, 0xEA1A27DBu, 0xF94AD42Fu, 0x0B21572Cu,
  0xDFEB33C7u, 0x2D80B0C4u, 0x3ED04330u, 0xCCBBC033u,
  0xA24BB5A6u, 0x502036A5u, 0x4370C551u, 0xB11B4652u,
  0x65D122B9u, 0x97BAA1BAu, 0x84EA524Eu, 0x7681D14Du,
  0x2892ED69u, 0xDAF96E6Au, 0xC9A99D9Eu, 0x3BC21E9Du,
  0xEF087A76u, 0x1D63F975u, 0x0E330A81u, 0xFC588982u,
  0xB21572C9u, 0x407EF1CAu, 0x532E023Eu, 0xA145813Du,
  0x758FE5D6u, 0x87E466D5u, 0x94B49521u, 0x66DF1622u,
  0x38CC2A06u, 0xCAA7A905u, 0xD9F75AF1u, 0x2B9CD9F2u,
  0xFF56BD19u, 0x0D3D3E1Au, 0x1E6DCDEEu, 0xEC064EEDu,
  0xC38D26C4u, 0x31E6A5C7u, 0x22B65633u, 0xD0DDD530u,
  0x0417B1DBu, 0xF67C32D8u, 0xE52CC12Cu, 0x1747422Fu,
  0x49547E0Bu, 0xBB3FFD08u, 0xA86F0EFCu, 0x5A048DFFu,
  0x8ECEE914u, 0x7CA56A17u, 0x6FF599E3u, 0x9D9E1AE0u,
  0xD3D3E1ABu, 0x21B862A8u, 0x32E8915Cu, 0xC083125Fu,
  0x144976B4u, 0xE622F5B7u, 0xF5720643u, 0x07198540u,
  0x590AB964u, 0xAB613A67u, 0xB831C993u, 0x4A5A4A90u,
  0x9E902E7Bu, 0x6CFBAD78u, 0x7FAB5E8Cu, 0x8DC0DD8Fu,
  0xE330A81Au, 0x115B2B19u, 0x020BD8EDu, 0xF0605BEEu,
  0x24AA3F05u, 0xD6C1BC06u, 0xC5914FF2u, 0x37FACCF1u,
  0x69E9F0D5u, 0x9B8273D6u, 0x88D28022u, 0x7AB90321u,
  0xAE7367CAu, 0x5C18E4C9u, 0x4F48173Du, 0xBD23943Eu,
  0xF36E6F75u, 0x0105EC76u, 0x12551F82u, 0xE03E9C81u,
  0x34F4F86Au, 0xC69F7B69u, 0xD5CF889Du, 0x27A40B9Eu,
  0x79B737BAu, 0x8BDCB4B9u, 0x988C474Du, 0x6AE7C44Eu,
  0xBE2DA0A5u, 0x4C4623A6u, 0x5F16D052u, 0xAD7D5351u,
};

uint32_t crc32c_update(uint32_t crc, const uint8_t *data, size_t length) {
  crc = ~crc;
  while (length-- > 0u) {
    crc = crc32c_table[(crc ^ *data++) & 0xFFu] ^ (crc >> 8);
  }
  return ~crc;
}

static const uint16_t crc16_ccitt_table[256] = {
  0x0000u, 0x1021u, 0x2042u, 0x3063u, 0x4084u, 0x50A5u, 0x60C6u, 0x70E7u,
  0x8108u, 0x9129u, 0xA14Au, 0xB16Bu, 0xC18Cu, 0xD1ADu, 0xE1CEu, 0xF1EFu,
  0x1231u, 0x0210u, 0x3273u, 0x2252u, 0x52B5u, 0x4294u, 0x72F7u, 0x62D6u,
  0x9339u, 0x8318u, 0xB37Bu, 0xA35Au, 0xD3BDu, 0xC39Cu, 0xF3FFu, 0xE3DEu,
  0x2462u, 0x3443u, 0x0420u, 0x1401u, 0x64E6u, 0x74C7u, 0x44A4u, 0x5485u,
  0xA56Au, 0xB54Bu, 0x8528u, 0x9509u, 0xE5EEu, 0xF5CFu, 0xC5ACu, 0xD58Du,
  0x3653u, 0x2672u, 0x1611u, 0x0630u, 0x76D7u, 0x66F6u, 0x5695u, 0x46B4u,
  0xB75Bu, 0xA77Au, 0x9719u, 0x8738u, 0xF7DFu, 0xE7FEu, 0xD79Du, 0xC7BCu,
  0x48C4u, 0x58E5u, 0x6886u, 0x78A7u, 0x0840u, 0x1861u, 0x2802u, 0x3823u,
  0xC9CCu, 0xD9EDu, 0xE98Eu, 0xF9AFu, 0x8948u, 0x9969u, 0xA90Au, 0xB92Bu,
  0x5AF5u, 0x4AD4u, 0x7AB7u, 0x6A96u, 0x1A71u, 0x0A50u, 0x3A33u, 0x2A12u,
  0xDBFDu, 0xCBDCu, 0xFBBFu, 0xEB9Eu, 0x9B79u, 0x8B58u, 0xBB3Bu, 0xAB1Au,
  0x6CA6u, 0x7C87u, 0x4CE4u, 0x5CC5u, 0x2C22u, 0x3C03u, 0x0C60u, 0x1C41u,
  0xEDAEu, 0xFD8Fu, 0xCDECu, 0xDDCDu, 0xAD2Au, 0xBD0Bu, 0x8D68u, 0x9D49u,
  0x7E97u, 0x6EB6u, 0x5ED5u, 0x4EF4u, 0x3E13u, 0x2E32u, 0x1E51u, 0x0E70u,
  0xFF9Fu, 0xEFBEu, 0xDFDDu, 0xCFFCu, 0xBF1Bu, 0xAF3Au, 0x9F59u, 0x8F78u,
  0x9188u, 0x81A9u, 0xB1CAu, 0xA1EBu, 0xD10Cu, 0xC12Du, 0xF14Eu, 0xE16Fu,
  0x1080u, 0x00A1u, 0x30C2u, 0x20E3u, 0x5004u, 0x4025u, 0x7046u, 0x6067u,
  0x83B9u, 0x9398u, 0xA3FBu, 0xB3DAu, 0xC33Du, 0xD31Cu, 0xE37Fu, 0xF35Eu,
  0x02B1u, 0x1290u, 0x22F3u, 0x32D2u, 0x4235u, 0x5214u, 0x6277u, 0x7256u,
  0xB5EAu, 0xA5CBu, 0x95A8u, 0x8589u, 0xF56Eu, 0xE54Fu, 0xD52Cu, 0xC50Du,
  0x34E2u, 0x24C3u, 0x14A0u, 0x0481u, 0x7466u, 0x6447u, 0x5424u, 0x4405u,
  0xA7DBu, 0xB7FAu, 0x8799u, 0x97B8u, 0xE75Fu, 0xF77Eu, 0xC71Du, 0xD73Cu,
  0x26D3u, 0x36F2u, 0x0691u, 0x16B0u, 0x6657u, 0x7676u, 0x4615u, 0x5634u,
  0xD94Cu, 0xC96Du, 0xF90Eu, 0xE92Fu, 0x99C8u, 0x89E9u, 0xB98Au, 0xA9ABu,
  0x5844u, 0x4865u, 0x7806u, 0x6827u, 0x18C0u, 0x08E1u, 0x3882u, 0x28A3u,
  0xCB7Du, 0xDB5Cu, 0xEB3Fu, 0xFB1Eu, 0x8BF9u, 0x9BD8u, 0xABBBu, 0xBB9Au,
  0x4A75u, 0x5A54u, 0x6A37u, 0x7A16u, 0x0AF1u, 0x1AD0u, 0x2AB3u, 0x3A92u,
  0xFD2Eu, 0xED0Fu, 0xDD6Cu, 0xCD4Du, 0xBDAAu, 0xAD8Bu, 0x9DE8u, 0x8DC9u,
  0x7C26u, 0x6C07u, 0x5C64u, 0x4C45u, 0x3CA2u, 0x2C83u, 0x1CE0u, 0x0CC1u,
  0xEF1Fu, 0xFF3Eu, 0xCF5Du, 0xDF7Cu, 0xAF9Bu, 0xBFBAu, 0x8FD9u, 0x9FF8u,
  0x6E17u, 0x7E36u, 0x4E55u, 0x5E74u, 0x2E93u, 0x3EB2u, 0x0ED1u, 0x1EF0u,
};

uint16_t crc16_ccitt_update(uint16_t crc, const uint8_t *data, size_t length) {
  while (length-- > 0u) {
    crc = (uint16_t)((crc << 8) ^ crc16_ccitt_table[((crc >> 8) ^ *data++) & 0xFFu]);
  }
  return crc;
}

/* ---- channel accel ---- */

#define ACCEL_RING_SIZE 32u
#define ACCEL_TAPS 4u
#define ACCEL_STAGES 3u

typedef struct {
  int16_t samples[ACCEL_RING_SIZE];
  volatile uint32_t head;
  volatile uint32_t tail;
  uint32_t overruns;
} accel_ring_t;

typedef struct {
  q15_16_t b[3];
  q15_16_t a[2];
  q15_16_t z[2];
} accel_biquad_t;

typedef struct {
  accel_ring_t ring;
  accel_biquad_t stages[ACCEL_STAGES];
  q15_16_t fir[ACCEL_TAPS];
  q15_16_t history[ACCEL_TAPS];
  uint32_t history_pos;
  q15_16_t gain;
  q15_16_t offset;
  q15_16_t last;
  q15_16_t min_seen;
  q15_16_t max_seen;
  uint32_t count;
  bool enabled;
} accel_channel_t;

static accel_channel_t accel_channel;

static bool accel_ring_push(accel_ring_t *ring, int16_t sample) {
  const uint32_t next = (ring->head + 1u) & (ACCEL_RING_SIZE - 1u);
  if (next == ring->tail) {
    ++ring->overruns;
    return false;
  }
  ring->samples[ring->head] = sample;
  ring->head = next;
  return true;
}

static bool accel_ring_pop(accel_ring_t *ring, int16_t *sample) {
  if (ring->tail == ring->head) {
    return false;
  }
  *sample = ring->samples[ring->tail];
  ring->tail = (ring->tail + 1u) & (ACCEL_RING_SIZE - 1u);
  return true;
}

static uint32_t accel_ring_count(const accel_ring_t *ring) {
  return (ring->head - ring->tail) & (ACCEL_RING_SIZE - 1u);
}

static q15_16_t accel_biquad_step(accel_biquad_t *s, q15_16_t x) {
  const q15_16_t y = Q16_MUL(s->b[0], x) + s->z[0];
  s->z[0] = Q16_MUL(s->b[1], x) - Q16_MUL(s->a[0], y) + s->z[1];
  s->z[1] = Q16_MUL(s->b[2], x) - Q16_MUL(s->a[1], y);
  return y;
}

static q15_16_t accel_fir_step(accel_channel_t *c, q15_16_t x) {
  c->history[c->history_pos] = x;
  int64_t acc = 0;
  uint32_t pos = c->history_pos;
  for (uint32_t i = 0u; i < ACCEL_TAPS; ++i) {
    acc += (int64_t)c->fir[i] * c->history[pos];
    pos = (pos == 0u) ? ACCEL_TAPS - 1u : pos - 1u;
  }
  c->history_pos = (c->history_pos + 1u) % ACCEL_TAPS;
  return (q15_16_t)(acc >> 16);
}

void accel_init(q15_16_t gain, q15_16_t offset) {
  accel_channel_t *c = &accel_channel;
  c->ring.head = 0u;
  c->ring.tail = 0u;
  c->ring.overruns = 0u;
  for (uint32_t s = 0u; s < ACCEL_STAGES; ++s) {
    c->stages[s].b[0] = Q16_ONE / 4;
    c->stages[s].b[1] = Q16_ONE / 2;
    c->stages[s].b[2] = Q16_ONE / 4;
    c->stages[s].a[0] = -(Q16_ONE / 3);
    c->stages[s].a[1] = Q16_ONE / 9;
    c->stages[s].z[0] = 0;
    c->stages[s].z[1] = 0;
  }
  for (uint32_t i = 0u; i < ACCEL_TAPS; ++i) {
    c->fir[i] = Q16_ONE / (q15_16_t)ACCEL_TAPS;
    c->history[i] = 0;
  }
  c->history_pos = 0u;
  c->gain = gain;
  c->offset = offset;
  c->last = 0;
  c->min_seen = INT32_MAX;
  c->max_seen = INT32_MIN;
  c->count = 0u;
  c->enabled = true;
}

bool accel_sample_isr(int16_t raw) {
  if (!accel_channel.enabled) {
    return false;
  }
  return accel_ring_push(&accel_channel.ring, raw);
}

uint32_t accel_process(uint32_t budget) {
  accel_channel_t *c = &accel_channel;
  uint32_t done = 0u;
  int16_t raw;
  while (done < budget && accel_ring_pop(&c->ring, &raw)) {
    q15_16_t x = Q16_MUL((q15_16_t)raw << 16 >> 4, c->gain) + c->offset;
    for (uint32_t s = 0u; s < ACCEL_STAGES; ++s) {
      x = accel_biquad_step(&c->stages[s], x);
    }
    x = accel_fir_step(c, x);
    c->last = x;
    if (x < c->min_seen) {
      c->min_seen = x;
    }
    if (x > c->max_seen) {
      c->max_seen = x;
    }
    ++c->count;
    ++done;
  }
  return done;
}

uint32_t accel_status(q15_16_t *last, q15_16_t *min, q15_16_t *max) {
  *last = accel_channel.last;
  *min = accel_channel.min_seen;
  *max = accel_channel.max_seen;
  return accel_ring_count(&accel_channel.ring) | (accel_channel.ring.overruns << 16);
}

uint32_t accel_signature(void) {
  return crc32_update(0u, (const uint8_t *)&accel_channel.stages, sizeof accel_channel.stages);
}

/* ---- channel gyro ---- */

#define GYRO_RING_SIZE 64u
#define GYRO_TAPS 5u
#define GYRO_STAGES 3u

typedef struct {
  int16_t samples[GYRO_RING_SIZE];
  volatile uint32_t head;
  volatile uint32_t tail;
  uint32_t overruns;
} gyro_ring_t;

typedef struct {
  q15_16_t b[3];
  q15_16_t a[2];
  q15_16_t z[2];
} gyro_biquad_t;

typedef struct {
  gyro_ring_t ring;
  gyro_biquad_t stages[GYRO_STAGES];
  q15_16_t fir[GYRO_TAPS];
  q15_16_t history[GYRO_TAPS];
  uint32_t history_pos;
  q15_16_t gain;
  q15_16_t offset;
  q15_16_t last;
  q15_16_t min_seen;
  q15_16_t max_seen;
  uint32_t count;
  bool enabled;
} gyro_channel_t;

static gyro_channel_t gyro_channel;

static bool gyro_ring_push(gyro_ring_t *ring, int16_t sample) {
  const uint32_t next = (ring->head + 1u) & (GYRO_RING_SIZE - 1u);
  if (next == ring->tail) {
    ++ring->overruns;
    return false;
  }
  ring->samples[ring->head] = sample;
  ring->head = next;
  return true;
}

static bool gyro_ring_pop(gyro_ring_t *ring, int16_t *sample) {
  if (ring->tail == ring->head) {
    return false;
  }
  *sample = ring->samples[ring->tail];
  ring->tail = (ring->tail + 1u) & (GYRO_RING_SIZE - 1u);
  return true;
}

static uint32_t gyro_ring_count(const gyro_ring_t *ring) {
  return (ring->head - ring->tail) & (GYRO_RING_SIZE - 1u);
}

static q15_16_t gyro_biquad_step(gyro_biquad_t *s, q15_16_t x) {
  const q15_16_t y = Q16_MUL(s->b[0], x) + s->z[0];
  s->z[0] = Q16_MUL(s->b[1], x) - Q16_MUL(s->a[0], y) + s->z[1];
  s->z[1] = Q16_MUL(s->b[2], x) - Q16_MUL(s->a[1], y);
  return y;
}

static q15_16_t gyro_fir_step(gyro_channel_t *c, q15_16_t x) {
  c->history[c->history_pos] = x;
  int64_t acc = 0;
  uint32_t pos = c->history_pos;
  for (uint32_t i = 0u; i < GYRO_TAPS; ++i) {
    acc += (int64_t)c->fir[i] * c->history[pos];
    pos = (pos == 0u) ? GYRO_TAPS - 1u : pos - 1u;
  }
  c->history_pos = (c->history_pos + 1u) % GYRO_TAPS;
  return (q15_16_t)(acc >> 16);
}

void gyro_init(q15_16_t gain, q15_16_t offset) {
  gyro_channel_t *c = &gyro_channel;
  c->ring.head = 0u;
  c->ring.tail = 0u;
  c->ring.overruns = 0u;
  for (uint32_t s = 0u; s < GYRO_STAGES; ++s) {
    c->stages[s].b[0] = Q16_ONE / 5;
    c->stages[s].b[1] = Q16_ONE / 3;
    c->stages[s].b[2] = Q16_ONE / 5;
    c->stages[s].a[0] = -(Q16_ONE / 4);
    c->stages[s].a[1] = Q16_ONE / 10;
    c->stages[s].z[0] = 0;
    c->stages[s].z[1] = 0;
  }
  for (uint32_t i = 0u; i < GYRO_TAPS; ++i) {
    c->fir[i] = Q16_ONE / (q15_16_t)GYRO_TAPS;
    c->history[i] = 0;
  }
  c->history_pos = 0u;
  c->gain = gain;
  c->offset = offset;
  c->last = 0;
  c->min_seen = INT32_MAX;
  c->max_seen = INT32_MIN;
  c->count = 0u;
  c->enabled = true;
}

bool gyro_sample_isr(int16_t raw) {
  if (!gyro_channel.enabled) {
    return false;
  }
  return gyro_ring_push(&gyro_channel.ring, raw);
}

uint32_t gyro_process(uint32_t budget) {
  gyro_channel_t *c = &gyro_channel;
  uint32_t done = 0u;
  int16_t raw;
  while (done < budget && gyro_ring_pop(&c->ring, &raw)) {
    q15_16_t x = Q16_MUL((q15_16_t)raw << 16 >> 4, c->gain) + c->offset;
    for (uint32_t s = 0u; s < GYRO_STAGES; ++s) {
      x = gyro_biquad_step(&c->stages[s], x);
    }
    x = gyro_fir_step(c, x);
    c->last = x;
    if (x < c->min_seen) {
      c->min_seen = x;
    }
    if (x > c->max_seen) {
      c->max_seen = x;
    }
    ++c->count;
    ++done;
  }
  return done;
}

uint32_t gyro_status(q15_16_t *last, q15_16_t *min, q15_16_t *max) {
  *last = gyro_channel.last;
  *min = gyro_channel.min_seen;
  *max = gyro_channel.max_seen;
  return gyro_ring_count(&gyro_channel.ring) | (gyro_channel.ring.overruns << 16);
}

uint32_t gyro_signature(void) {
  return crc32_update(0u, (const uint8_t *)&gyro_channel.stages, sizeof gyro_channel.stages);
}

/* ---- channel mag ---- */

#define MAG_RING_SIZE 128u
#define MAG_TAPS 6u
#define MAG_STAGES 3u

typedef struct {
  int16_t samples[MAG_RING_SIZE];
  volatile uint32_t head;
  volatile uint32_t tail;
  uint32_t overruns;
} mag_ring_t;

typedef struct {
  q15_16_t b[3];
  q15_16_t a[2];
  q15_16_t z[2];
} mag_biquad_t;

typedef struct {
  mag_ring_t ring;
  mag_biquad_t stages[MAG_STAGES];
  q15_16_t fir[MAG_TAPS];
  q15_16_t history[MAG_TAPS];
  uint32_t history_pos;
  q15_16_t gain;
  q15_16_t offset;
  q15_16_t last;
  q15_16_t min_seen;
  q15_16_t max_seen;
  uint32_t count;
  bool enabled;
} mag_channel_t;

static mag_channel_t mag_channel;

static bool mag_ring_push(mag_ring_t *ring, int16_t sample) {
  const uint32_t next = (ring->head + 1u) & (MAG_RING_SIZE - 1u);
  if (next == ring->tail) {
    ++ring->overruns;
    return false;
  }
  ring->samples[ring->head] = sample;
  ring->head = next;
  return true;
}

static bool mag_ring_pop(mag_ring_t *ring, int16_t *sample) {
  if (ring->tail == ring->head) {
    return false;
  }
  *sample = ring->samples[ring->tail];
  ring->tail = (ring->tail + 1u) & (MAG_RING_SIZE - 1u);
  return true;
}

static uint32_t mag_ring_count(const mag_ring_t *ring) {
  return (ring->head - ring->tail) & (MAG_RING_SIZE - 1u);
}

static q15_16_t mag_biquad_step(mag_biquad_t *s, q15_16_t x) {
  const q15_16_t y = Q16_MUL(s->b[0], x) + s->z[0];
  s->z[0] = Q16_MUL(s->b[1], x) - Q16_MUL(s->a[0], y) + s->z[1];
  s->z[1] = Q16_MUL(s->b[2], x) - Q16_MUL(s->a[1], y);
  return y;
}

static q15_16_t mag_fir_step(mag_channel_t *c, q15_16_t x) {
  c->history[c->history_pos] = x;
  int64_t acc = 0;
  uint32_t pos = c->history_pos;
  for (uint32_t i = 0u; i < MAG_TAPS; ++i) {
    acc += (int64_t)c->fir[i] * c->history[pos];
    pos = (pos == 0u) ? MAG_TAPS - 1u : pos - 1u;
  }
  c->history_pos = (c->history_pos + 1u) % MAG_TAPS;
  return (q15_16_t)(acc >> 16);
}

void mag_init(q15_16_t gain, q15_16_t offset) {
  mag_channel_t *c = &mag_channel;
  c->ring.head = 0u;
  c->ring.tail = 0u;
  c->ring.overruns = 0u;
  for (uint32_t s = 0u; s < MAG_STAGES; ++s) {
    c->stages[s].b[0] = Q16_ONE / 6;
    c->stages[s].b[1] = Q16_ONE / 4;
    c->stages[s].b[2] = Q16_ONE / 6;
    c->stages[s].a[0] = -(Q16_ONE / 5);
    c->stages[s].a[1] = Q16_ONE / 11;
    c->stages[s].z[0] = 0;
    c->stages[s].z[1] = 0;
  }
  for (uint32_t i = 0u; i < MAG_TAPS; ++i) {
    c->fir[i] = Q16_ONE / (q15_16_t)MAG_TAPS;
    c->history[i] = 0;
  }
  c->history_pos = 0u;
  c->gain = gain;
  c->offset = offset;
  c->last = 0;
  c->min_seen = INT32_MAX;
  c->max_seen = INT32_MIN;
  c->count = 0u;
  c->enabled = true;
}

bool mag_sample_isr(int16_t raw) {
  if (!mag_channel.enabled) {
    return false;
  }
  return mag_ring_push(&mag_channel.ring, raw);
}

uint32_t mag_process(uint32_t budget) {
  mag_channel_t *c = &mag_channel;
  uint32_t done = 0u;
  int16_t raw;
  while (done < budget && mag_ring_pop(&c->ring, &raw)) {
    q15_16_t x = Q16_MUL((q15_16_t)raw << 16 >> 4, c->gain) + c->offset;
    for (uint32_t s = 0u; s < MAG_STAGES; ++s) {
      x = mag_biquad_step(&c->stages[s], x);
    }
    x = mag_fir_step(c, x);
    c->last = x;
    if (x < c->min_seen) {
      c->min_seen = x;
    }
    if (x > c->max_seen) {
      c->max_seen = x;
    }
    ++c->count;
    ++done;
  }
  return done;
}

uint32_t mag_status(q15_16_t *last, q15_16_t *min, q15_16_t *max) {
  *last = mag_channel.last;
  *min = mag_channel.min_seen;
  *max = mag_channel.max_seen;
  return mag_ring_count(&mag_channel.ring) | (mag_channel.ring.overruns << 16);
}

uint32_t mag_signature(void) {
  return crc32_update(0u, (const uint8_t *)&mag_channel.stages, sizeof mag_channel.stages);
}

/* ---- channel baro ---- */

#define BARO_RING_SIZE 256u
#define BARO_TAPS 7u
#define BARO_STAGES 3u

typedef struct {
  int16_t samples[BARO_RING_SIZE];
  volatile uint32_t head;
  volatile uint32_t tail;
  uint32_t overruns;
} baro_ring_t;

typedef struct {
  q15_16_t b[3];
  q15_16_t a[2];
  q15_16_t z[2];
} baro_biquad_t;

typedef struct {
  baro_ring_t ring;
  baro_biquad_t stages[BARO_STAGES];
  q15_16_t fir[BARO_TAPS];
  q15_16_t history[BARO_TAPS];
  uint32_t history_pos;
  q15_16_t gain;
  q15_16_t offset;
  q15_16_t last;
  q15_16_t min_seen;
  q15_16_t max_seen;
  uint32_t count;
  bool enabled;
} baro_channel_t;

static baro_channel_t baro_channel;

static bool baro_ring_push(baro_ring_t *ring, int16_t sample) {
  const uint32_t next = (ring->head + 1u) & (BARO_RING_SIZE - 1u);
  if (next == ring->tail) {
    ++ring->overruns;
    return false;
  }
  ring->samples[ring->head] = sample;
  ring->head = next;
  return true;
}

static bool baro_ring_pop(baro_ring_t *ring, int16_t *sample) {
  if (ring->tail == ring->head) {
    return false;
  }
  *sample = ring->samples[ring->tail];
  ring->tail = (ring->tail + 1u) & (BARO_RING_SIZE - 1u);
  return true;
}

static uint32_t baro_ring_count(const baro_ring_t *ring) {
  return (ring->head - ring->tail) & (BARO_RING_SIZE - 1u);
}

static q15_16_t baro_biquad_step(baro_biquad_t *s, q15_16_t x) {
  const q15_16_t y = Q16_MUL(s->b[0], x) + s->z[0];
  s->z[0] = Q16_MUL(s->b[1], x) - Q16_MUL(s->a[0], y) + s->z[1];
  s->z[1] = Q16_MUL(s->b[2], x) - Q16_MUL(s->a[1], y);
  return y;
}

static q15_16_t baro_fir_step(baro_channel_t *c, q15_16_t x) {
  c->history[c->history_pos] = x;
  int64_t acc = 0;
  uint32_t pos = c->history_pos;
  for (uint32_t i = 0u; i < BARO_TAPS; ++i) {
    acc += (int64_t)c->fir[i] * c->history[pos];
    pos = (pos == 0u) ? BARO_TAPS - 1u : pos - 1u;
  }
  c->history_pos = (c->history_pos + 1u) % BARO_TAPS;
  return (q15_16_t)(acc >> 16);
}

void baro_init(q15_16_t gain, q15_16_t offset) {
  baro_channel_t *c = &baro_channel;
  c->ring.head = 0u;
  c->ring.tail = 0u;
  c->ring.overruns = 0u;
  for (uint32_t s = 0u; s < BARO_STAGES; ++s) {
    c->stages[s].b[0] = Q16_ONE / 7;
    c->stages[s].b[1] = Q16_ONE / 5;
    c->stages[s].b[2] = Q16_ONE / 7;
    c->stages[s].a[0] = -(Q16_ONE / 6);
    c->stages[s].a[1] = Q16_ONE / 12;
    c->stages[s].z[0] = 0;
    c->stages[s].z[1] = 0;
  }
  for (uint32_t i = 0u; i < BARO_TAPS; ++i) {
    c->fir[i] = Q16_ONE / (q15_16_t)BARO_TAPS;
    c->history[i] = 0;
  }
  c->history_pos = 0u;
  c->gain = gain;
  c->offset = offset;
  c->last = 0;
  c->min_seen = INT32_MAX;
  c->max_seen = INT32_MIN;
  c->count = 0u;
  c->enabled = true;
}

bool baro_sample_isr(int16_t raw) {
  if (!baro_channel.enabled) {
    return false;
  }
  return baro_ring_push(&baro_channel.ring, raw);
}

uint32_t baro_process(uint32_t budget) {
  baro_channel_t *c = &baro_channel;
  uint32_t done = 0u;
  int16_t raw;
  while (done < budget && baro_ring_pop(&c->ring, &raw)) {
    q15_16_t x = Q16_MUL((q15_16_t)raw << 16 >> 4, c->gain) + c->offset;
    for (uint32_t s = 0u; s < BARO_STAGES; ++s) {
      x = baro_biquad_step(&c->stages[s], x);
    }
    x = baro_fir_step(c, x);
    c->last = x;
    if (x < c->min_seen) {
      c->min_seen = x;
    }
    if (x > c->max_seen) {
      c->max_seen = x;
    }
    ++c->count;
    ++done;
  }
  return done;
}

uint32_t baro_status(q15_16_t *last, q15_16_t *min, q15_16_t *max) {
  *last = baro_channel.last;
  *min = baro_channel.min_seen;
  *max = baro_channel.max_seen;
  return baro_ring_count(&baro_channel.ring) | (baro_channel.ring.overruns << 16);
}

uint32_t baro_signature(void) {
  return crc32_update(0u, (const uint8_t *)&baro_channel.stages, sizeof baro_channel.stages);
}

/* ---- channel temp ---- */

#define TEMP_RING_SIZE 32u
#define TEMP_TAPS 8u
#define TEMP_STAGES 3u

typedef struct {
  int16_t samples[TEMP_RING_SIZE];
  volatile uint32_t head;
  volatile uint32_t tail;
  uint32_t overruns;
} temp_ring_t;

typedef struct {
  q15_16_t b[3];
  q15_16_t a[2];
  q15_16_t z[2];
} temp_biquad_t;

typedef struct {
  temp_ring_t ring;
  temp_biquad_t stages[TEMP_STAGES];
  q15_16_t fir[TEMP_TAPS];
  q15_16_t history[TEMP_TAPS];
  uint32_t history_pos;
  q15_16_t gain;
  q15_16_t offset;
  q15_16_t last;
  q15_16_t min_seen;
  q15_16_t max_seen;
  uint32_t count;
  bool enabled;
} temp_channel_t;

static temp_channel_t temp_channel;

static bool temp_ring_push(temp_ring_t *ring, int16_t sample) {
  const uint32_t next = (ring->head + 1u) & (TEMP_RING_SIZE - 1u);
  if (next == ring->tail) {
    ++ring->overruns;
    return false;
  }
  ring->samples[ring->head] = sample;
  ring->head = next;
  return true;
}

static bool temp_ring_pop(temp_ring_t *ring, int16_t *sample) {
  if (ring->tail == ring->head) {
    return false;
  }
  *sample = ring->samples[ring->tail];
  ring->tail = (ring->tail + 1u) & (TEMP_RING_SIZE - 1u);
  return true;
}

static uint32_t temp_ring_count(const temp_ring_t *ring) {
  return (ring->head - ring->tail) & (TEMP_RING_SIZE - 1u);
}

static q15_16_t temp_biquad_step(temp_biquad_t *s, q15_16_t x) {
  const q15_16_t y = Q16_MUL(s->b[0], x) + s->z[0];
  s->z[0] = Q16_MUL(s->b[1], x) - Q16_MUL(s->a[0], y) + s->z[1];
  s->z[1] = Q16_MUL(s->b[2], x) - Q16_MUL(s->a[1], y);
  return y;
}

static q15_16_t temp_fir_step(temp_channel_t *c, q15_16_t x) {
  c->history[c->history_pos] = x;
  int64_t acc = 0;
  uint32_t pos = c->history_pos;
  for (uint32_t i = 0u; i < TEMP_TAPS; ++i) {
    acc += (int64_t)c->fir[i] * c->history[pos];
    pos = (pos == 0u) ? TEMP_TAPS - 1u : pos - 1u;
  }
  c->history_pos = (c->history_pos + 1u) % TEMP_TAPS;
  return (q15_16_t)(acc >> 16);
}

void temp_init(q15_16_t gain, q15_16_t offset) {
  temp_channel_t *c = &temp_channel;
  c->ring.head = 0u;
  c->ring.tail = 0u;
  c->ring.overruns = 0u;
  for (uint32_t s = 0u; s < TEMP_STAGES; ++s) {
    c->stages[s].b[0] = Q16_ONE / 8;
    c->stages[s].b[1] = Q16_ONE / 6;
    c->stages[s].b[2] = Q16_ONE / 8;
    c->stages[s].a[0] = -(Q16_ONE / 7);
    c->stages[s].a[1] = Q16_ONE / 13;
    c->stages[s].z[0] = 0;
    c->stages[s].z[1] = 0;
  }
  for (uint32_t i = 0u; i < TEMP_TAPS; ++i) {
    c->fir[i] = Q16_ONE / (q15_16_t)TEMP_TAPS;
    c->history[i] = 0;
  }
  c->history_pos = 0u;
  c->gain = gain;
  c->offset = offset;
  c->last = 0;
  c->min_seen = INT32_MAX;
  c->max_seen = INT32_MIN;
  c->count = 0u;
  c->enabled = true;
}

bool temp_sample_isr(int16_t raw) {
  if (!temp_channel.enabled) {
    return false;
  }
  return temp_ring_push(&temp_channel.ring, raw);
}

uint32_t temp_process(uint32_t budget) {
  temp_channel_t *c = &temp_channel;
  uint32_t done = 0u;
  int16_t raw;
  while (done < budget && temp_ring_pop(&c->ring, &raw)) {
    q15_16_t x = Q16_MUL((q15_16_t)raw << 16 >> 4, c->gain) + c->offset;
    for (uint32_t s = 0u; s < TEMP_STAGES; ++s) {
      x = temp_biquad_step(&c->stages[s], x);
    }
    x = temp_fir_step(c, x);
    c->last = x;
    if (x < c->min_seen) {
      c->min_seen = x;
    }
    if (x > c->max_seen) {
      c->max_seen = x;
    }
    ++c->count;
    ++done;
  }
  return done;
}

uint32_t temp_status(q15_16_t *last, q15_16_t *min, q15_16_t *max) {
  *last = temp_channel.last;
  *min = temp_channel.min_seen;
  *max = temp_channel.max_seen;
  return temp_ring_count(&temp_channel.ring) | (temp_channel.ring.overruns << 16);
}

uint32_t temp_signature(void) {
  return crc32_update(0u, (const uint8_t *)&temp_channel.stages, sizeof temp_channel.stages);
}

/* ---- channel humid ---- */

#define HUMID_RING_SIZE 64u
#define HUMID_TAPS 4u
#define HUMID_STAGES 3u

typedef struct {
  int16_t samples[HUMID_RING_SIZE];
  volatile uint32_t head;
  volatile uint32_t tail;
  uint32_t overruns;
} humid_ring_t;

typedef struct {
  q15_16_t b[3];
  q15_16_t a[2];
  q15_16_t z[2];
} humid_biquad_t;

typedef struct {
  humid_ring_t ring;
  humid_biquad_t stages[HUMID_STAGES];
  q15_16_t fir[HUMID_TAPS];
  q15_16_t history[HUMID_TAPS];
  uint32_t history_pos;
  q15_16_t gain;
  q15_16_t offset;
  q15_16_t last;
  q15_16_t min_seen;
  q15_16_t max_seen;
  uint32_t count;
  bool enabled;
} humid_channel_t;

static humid_channel_t humid_channel;

static bool humid_ring_push(humid_ring_t *ring, int16_t sample) {
  const uint32_t next = (ring->head + 1u) & (HUMID_RING_SIZE - 1u);
  if (next == ring->tail) {
    ++ring->overruns;
    return false;
  }
  ring->samples[ring->head] = sample;
  ring->head = next;
  return true;
}

static bool humid_ring_pop(humid_ring_t *ring, int16_t *sample) {
  if (ring->tail == ring->head) {
    return false;
  }
  *sample = ring->samples[ring->tail];
  ring->tail = (ring->tail + 1u) & (HUMID_RING_SIZE - 1u);
  return true;
}

static uint32_t humid_ring_count(const humid_ring_t *ring) {
  return (ring->head - ring->tail) & (HUMID_RING_SIZE - 1u);
}

static q15_16_t humid_biquad_step(humid_biquad_t *s, q15_16_t x) {
  const q15_16_t y = Q16_MUL(s->b[0], x) + s->z[0];
  s->z[0] = Q16_MUL(s->b[1], x) - Q16_MUL(s->a[0], y) + s->z[1];
  s->z[1] = Q16_MUL(s->b[2], x) - Q16_MUL(s->a[1], y);
  return y;
}

static q15_16_t humid_fir_step(humid_channel_t *c, q15_16_t x) {
  c->history[c->history_pos] = x;
  int64_t acc = 0;
  uint32_t pos = c->history_pos;
  for (uint32_t i = 0u; i < HUMID_TAPS; ++i) {
    acc += (int64_t)c->fir[i] * c->history[pos];
    pos = (pos == 0u) ? HUMID_TAPS - 1u : pos - 1u;
  }
  c->history_pos = (c->history_pos + 1u) % HUMID_TAPS;
  return (q15_16_t)(acc >> 16);
}

void humid_init(q15_16_t gain, q15_16_t offset) {
  humid_channel_t *c = &humid_channel;
  c->ring.head = 0u;
  c->ring.tail = 0u;
  c->ring.overruns = 0u;
  for (uint32_t s = 0u; s < HUMID_STAGES; ++s) {
    c->stages[s].b[0] = Q16_ONE / 9;
    c->stages[s].b[1] = Q16_ONE / 7;
    c->stages[s].b[2] = Q16_ONE / 9;
    c->stages[s].a[0] = -(Q16_ONE / 8);
    c->stages[s].a[1] = Q16_ONE / 14;
    c->stages[s].z[0] = 0;
    c->stages[s].z[1] = 0;
  }
  for (uint32_t i = 0u; i < HUMID_TAPS; ++i) {
    c->fir[i] = Q16_ONE / (q15_16_t)HUMID_TAPS;
    c->history[i] = 0;
  }
  c->history_pos = 0u;
  c->gain = gain;
  c->offset = offset;
  c->last = 0;
  c->min_seen = INT32_MAX;
  c->max_seen = INT32_MIN;
  c->count = 0u;
  c->enabled = true;
}

bool humid_sample_isr(int16_t raw) {
  if (!humid_channel.enabled) {
    return false;
  }
  return humid_ring_push(&humid_channel.ring, raw);
}

uint32_t humid_process(uint32_t budget) {
  humid_channel_t *c = &humid_channel;
  uint32_t done = 0u;
  int16_t raw;
  while (done < budget && humid_ring_pop(&c->ring, &raw)) {
    q15_16_t x = Q16_MUL((q15_16_t)raw << 16 >> 4, c->gain) + c->offset;
    for (uint32_t s = 0u; s < HUMID_STAGES; ++s) {
      x = humid_biquad_step(&c->stages[s], x);
    }
    x = humid_fir_step(c, x);
    c->last = x;
    if (x < c->min_seen) {
      c->min_seen = x;
    }
    if (x > c->max_seen) {
      c->max_seen = x;
    }
    ++c->count;
    ++done;
  }
  return done;
}

uint32_t humid_status(q15_16_t *last, q15_16_t *min, q15_16_t *max) {
  *last = humid_channel.last;
  *min = humid_channel.min_seen;
  *max = humid_channel.max_seen;
  return humid_ring_count(&humid_channel.ring) | (humid_channel.ring.overruns << 16);
}

uint32_t humid_signature(void) {
  return crc32_update(0u, (const uint8_t *)&humid_channel.stages, sizeof humid_channel.stages);
}

/* ---- channel light ---- */

#define LIGHT_RING_SIZE 128u
#define LIGHT_TAPS 5u
#define LIGHT_STAGES 3u

typedef struct {
  int16_t samples[LIGHT_RING_SIZE];
  volatile uint32_t head;
  volatile uint32_t tail;
  uint32_t overruns;
} light_ring_t;

typedef struct {
  q15_16_t b[3];
  q15_16_t a[2];
  q15_16_t z[2];
} light_biquad_t;

typedef struct {
  light_ring_t ring;
  light_biquad_t stages[LIGHT_STAGES];
  q15_16_t fir[LIGHT_TAPS];
  q15_16_t history[LIGHT_TAPS];
  uint32_t history_pos;
  q15_16_t gain;
  q15_16_t offset;
  q15_16_t last;
  q15_16_t min_seen;
  q15_16_t max_seen;
  uint32_t count;
  bool enabled;
} light_channel_t;

static light_channel_t light_channel;

static bool light_ring_push(light_ring_t *ring, int16_t sample) {
  const uint32_t next = (ring->head + 1u) & (LIGHT_RING_SIZE - 1u);
  if (next == ring->tail) {
    ++ring->overruns;
    return false;
  }
  ring->samples[ring->head] = sample;
  ring->head = next;
  return true;
}

static bool light_ring_pop(light_ring_t *ring, int16_t *sample) {
  if (ring->tail == ring->head) {
    return false;
  }
  *sample = ring->samples[ring->tail];
  ring->tail = (ring->tail + 1u) & (LIGHT_RING_SIZE - 1u);
  return true;
}

static uint32_t light_ring_count(const light_ring_t *ring) {
  return (ring->head - ring->tail) & (LIGHT_RING_SIZE - 1u);
}

static q15_16_t light_biquad_step(light_biquad_t *s, q15_16_t x) {
  const q15_16_t y = Q16_MUL(s->b[0], x) + s->z[0];
  s->z[0] = Q16_MUL(s->b[1], x) - Q16_MUL(s->a[0], y) + s->z[1];
  s->z[1] = Q16_MUL(s->b[2], x) - Q16_MUL(s->a[1], y);
  return y;
}

static q15_16_t light_fir_step(light_channel_t *c, q15_16_t x) {
  c->history[c->history_pos] = x;
  int64_t acc = 0;
  uint32_t pos = c->history_pos;
  for (uint32_t i = 0u; i < LIGHT_TAPS; ++i) {
    acc += (int64_t)c->fir[i] * c->history[pos];
    pos = (pos == 0u) ? LIGHT_TAPS - 1u : pos - 1u;
  }
  c->history_pos = (c->history_pos + 1u) % LIGHT_TAPS;
  return (q15_16_t)(acc >> 16);
}

void light_init(q15_16_t gain, q15_16_t offset) {
  light_channel_t *c = &light_channel;
  c->ring.head = 0u;
  c->ring.tail = 0u;
  c->ring.overruns = 0u;
  for (uint32_t s = 0u; s < LIGHT_STAGES; ++s) {
    c->stages[s].b[0] = Q16_ONE / 10;
    c->stages[s].b[1] = Q16_ONE / 8;
    c->stages[s].b[2] = Q16_ONE / 10;
    c->stages[s].a[0] = -(Q16_ONE / 9);
    c->stages[s].a[1] = Q16_ONE / 15;
    c->stages[s].z[0] = 0;
    c->stages[s].z[1] = 0;
  }
  for (uint32_t i = 0u; i < LIGHT_TAPS; ++i) {
    c->fir[i] = Q16_ONE / (q15_16_t)LIGHT_TAPS;
    c->history[i] = 0;
  }
  c->history_pos = 0u;
  c->gain = gain;
  c->offset = offset;
  c->last = 0;
  c->min_seen = INT32_MAX;
  c->max_seen = INT32_MIN;
  c->count = 0u;
  c->enabled = true;
}

bool light_sample_isr(int16_t raw) {
  if (!light_channel.enabled) {
    return false;
  }
  return light_ring_push(&light_channel.ring, raw);
}

uint32_t light_process(uint32_t budget) {
  light_channel_t *c = &light_channel;
  uint32_t done = 0u;
  int16_t raw;
  while (done < budget && light_ring_pop(&c->ring, &raw)) {
    q15_16_t x = Q16_MUL((q15_16_t)raw << 16 >> 4, c->gain) + c->offset;
    for (uint32_t s = 0u; s < LIGHT_STAGES; ++s) {
      x = light_biquad_step(&c->stages[s], x);
    }
    x = light_fir_step(c, x);
    c->last = x;
    if (x < c->min_seen) {
      c->min_seen = x;
    }
    if (x > c->max_seen) {
      c->max_seen = x;
    }
    ++c->count;
    ++done;
  }
  return done;
}

uint32_t light_status(q15_16_t *last, q15_16_t *min, q15_16_t *max) {
  *last = light_channel.last;
  *min = light_channel.min_seen;
  *max = light_channel.max_seen;
  return light_ring_count(&light_channel.ring) | (light_channel.ring.overruns << 16);
}

uint32_t light_signature(void) {
  return crc32_update(0u, (const uint8_t *)&light_channel.stages, sizeof light_channel.stages);
}

/* ---- channel current ---- */

#define CURRENT_RING_SIZE 256u
#define CURRENT_TAPS 6u
#define CURRENT_STAGES 3u

typedef struct {
  int16_t samples[CURRENT_RING_SIZE];
  volatile uint32_t head;
  volatile uint32_t tail;
  uint32_t overruns;
} current_ring_t;

typedef struct {
  q15_16_t b[3];
  q15_16_t a[2];
  q15_16_t z[2];
} current_biquad_t;

typedef struct {
  current_ring_t ring;
  current_biquad_t stages[CURRENT_STAGES];
  q15_16_t fir[CURRENT_TAPS];
  q15_16_t history[CURRENT_TAPS];
  uint32_t history_pos;
  q15_16_t gain;
  q15_16_t offset;
  q15_16_t last;
  q15_16_t min_seen;
  q15_16_t max_seen;
  uint32_t count;
  bool enabled;
} current_channel_t;

static current_channel_t current_channel;

static bool current_ring_push(current_ring_t *ring, int16_t sample) {
  const uint32_t next = (ring->head + 1u) & (CURRENT_RING_SIZE - 1u);
  if (next == ring->tail) {
    ++ring->overruns;
    return false;
  }
  ring->samples[ring->head] = sample;
  ring->head = next;
  return true;
}

static bool current_ring_pop(current_ring_t *ring, int16_t *sample) {
  if (ring->tail == ring->head) {
    return false;
  }
  *sample = ring->samples[ring->tail];
  ring->tail = (ring->tail + 1u) & (CURRENT_RING_SIZE - 1u);
  return true;
}

static uint32_t current_ring_count(const current_ring_t *ring) {
  return (ring->head - ring->tail) & (CURRENT_RING_SIZE - 1u);
}

static q15_16_t current_biquad_step(current_biquad_t *s, q15_16_t x) {
  const q15_16_t y = Q16_MUL(s->b[0], x) + s->z[0];
  s->z[0] = Q16_MUL(s->b[1], x) - Q16_MUL(s->a[0], y) + s->z[1];
  s->z[1] = Q16_MUL(s->b[2], x) - Q16_MUL(s->a[1], y);
  return y;
}

static q15_16_t current_fir_step(current_channel_t *c, q15_16_t x) {
  c->history[c->history_pos] = x;
  int64_t acc = 0;
  uint32_t pos = c->history_pos;
  for (uint32_t i = 0u; i < CURRENT_TAPS; ++i) {
    acc += (int64_t)c->fir[i] * c->history[pos];
    pos = (pos == 0u) ? CURRENT_TAPS - 1u : pos - 1u;
  }
  c->history_pos = (c->history_pos + 1u) % CURRENT_TAPS;
  return (q15_16_t)(acc >> 16);
}

void current_init(q15_16_t gain, q15_16_t offset) {
  current_channel_t *c = &current_channel;
  c->ring.head = 0u;
  c->ring.tail = 0u;
  c->ring.overruns = 0u;
  for (uint32_t s = 0u; s < CURRENT_STAGES; ++s) {
    c->stages[s].b[0] = Q16_ONE / 11;
    c->stages[s].b[1] = Q16_ONE / 9;
    c->stages[s].b[2] = Q16_ONE / 11;
    c->stages[s].a[0] = -(Q16_ONE / 10);
    c->stages[s].a[1] = Q16_ONE / 16;
    c->stages[s].z[0] = 0;
    c->stages[s].z[1] = 0;
  }
  for (uint32_t i = 0u; i < CURRENT_TAPS; ++i) {
    c->fir[i] = Q16_ONE / (q15_16_t)CURRENT_TAPS;
    c->history[i] = 0;
  }
  c->history_pos = 0u;
  c->gain = gain;
  c->offset = offset;
  c->last = 0;
  c->min_seen = INT32_MAX;
  c->max_seen = INT32_MIN;
  c->count = 0u;
  c->enabled = true;
}

bool current_sample_isr(int16_t raw) {
  if (!current_channel.enabled) {
    return false;
  }
  return current_ring_push(&current_channel.ring, raw);
}

uint32_t current_process(uint32_t budget) {
  current_channel_t *c = &current_channel;
  uint32_t done = 0u;
  int16_t raw;
  while (done < budget && current_ring_pop(&c->ring, &raw)) {
    q15_16_t x = Q16_MUL((q15_16_t)raw << 16 >> 4, c->gain) + c->offset;
    for (uint32_t s = 0u; s < CURRENT_STAGES; ++s) {
      x = current_biquad_step(&c->stages[s], x);
    }
    x = current_fir_step(c, x);
    c->last = x;
    if (x < c->min_seen) {
      c->min_seen = x;
    }
    if (x > c->max_seen) {
      c->max_seen = x;
    }
    ++c->count;
    ++done;
  }
  return done;
}

uint32_t current_status(q15_16_t *last, q15_16_t *min, q15_16_t *max) {
  *last = current_channel.last;
  *min = current_channel.min_seen;
  *max = current_channel.max_seen;
  return current_ring_count(&current_channel.ring) | (current_channel.ring.overruns << 16);
}

uint32_t current_signature(void) {
  return crc32_update(0u, (const uint8_t *)&current_channel.stages, sizeof current_channel.stages);
}

/* ---- channel voltage ---- */

#define VOLTAGE_RING_SIZE 32u
#define VOLTAGE_TAPS 7u
#define VOLTAGE_STAGES 3u

typedef struct {
  int16_t samples[VOLTAGE_RING_SIZE];
  volatile uint32_t head;
  volatile uint32_t tail;
  uint32_t overruns;
} voltage_ring_t;

typedef struct {
  q15_16_t b[3];
  q15_16_t a[2];
  q15_16_t z[2];
} voltage_biquad_t;

typedef struct {
  voltage_ring_t ring;
  voltage_biquad_t stages[VOLTAGE_STAGES];
  q15_16_t fir[VOLTAGE_TAPS];
  q15_16_t history[VOLTAGE_TAPS];
  uint32_t history_pos;
  q15_16_t gain;
  q15_16_t offset;
  q15_16_t last;
  q15_16_t min_seen;
  q15_16_t max_seen;
  uint32_t count;
  bool enabled;
} voltage_channel_t;

static voltage_channel_t voltage_channel;

static bool voltage_ring_push(voltage_ring_t *ring, int16_t sample) {
  const uint32_t next = (ring->head + 1u) & (VOLTAGE_RING_SIZE - 1u);
  if (next == ring->tail) {
    ++ring->overruns;
    return false;
  }
  ring->samples[ring->head] = sample;
  ring->head = next;
  return true;
}

static bool voltage_ring_pop(voltage_ring_t *ring, int16_t *sample) {
  if (ring->tail == ring->head) {
    return false;
  }
  *sample = ring->samples[ring->tail];
  ring->tail = (ring->tail + 1u) & (VOLTAGE_RING_SIZE - 1u);
  return true;
}

static uint32_t voltage_ring_count(const voltage_ring_t *ring) {
  return (ring->head - ring->tail) & (VOLTAGE_RING_SIZE - 1u);
}

static q15_16_t voltage_biquad_step(voltage_biquad_t *s, q15_16_t x) {
  const q15_16_t y = Q16_MUL(s->b[0], x) + s->z[0];
  s->z[0] = Q16_MUL(s->b[1], x) - Q16_MUL(s->a[0], y) + s->z[1];
  s->z[1] = Q16_MUL(s->b[2], x) - Q16_MUL(s->a[1], y);
  return y;
}

static q15_16_t voltage_fir_step(voltage_channel_t *c, q15_16_t x) {
  c->history[c->history_pos] = x;
  int64_t acc = 0;
  uint32_t pos = c->history_pos;
  for (uint32_t i = 0u; i < VOLTAGE_TAPS; ++i) {
    acc += (int64_t)c->fir[i] * c->history[pos];
    pos = (pos == 0u) ? VOLTAGE_TAPS - 1u : pos - 1u;
  }
  c->history_pos = (c->history_pos + 1u) % VOLTAGE_TAPS;
  return (q15_16_t)(acc >> 16);
}

void voltage_init(q15_16_t gain, q15_16_t offset) {
  voltage_channel_t *c = &voltage_channel;
  c->ring.head = 0u;
  c->ring.tail = 0u;
  c->ring.overruns = 0u;
  for (uint32_t s = 0u; s < VOLTAGE_STAGES; ++s) {
    c->stages[s].b[0] = Q16_ONE / 12;
    c->stages[s].b[1] = Q16_ONE / 10;
    c->stages[s].b[2] = Q16_ONE / 12;
    c->stages[s].a[0] = -(Q16_ONE / 11);
    c->stages[s].a[1] = Q16_ONE / 17;
    c->stages[s].z[0] = 0;
    c->stages[s].z[1] = 0;
  }
  for (uint32_t i = 0u; i < VOLTAGE_TAPS; ++i) {
    c->fir[i] = Q16_ONE / (q15_16_t)VOLTAGE_TAPS;
    c->history[i] = 0;
  }
  c->history_pos = 0u;
  c->gain = gain;
  c->offset = offset;
  c->last = 0;
  c->min_seen = INT32_MAX;
  c->max_seen = INT32_MIN;
  c->count = 0u;
  c->enabled = true;
}

bool voltage_sample_isr(int16_t raw) {
  if (!voltage_channel.enabled) {
    return false;
  }
  return voltage_ring_push(&voltage_channel.ring, raw);
}

uint32_t voltage_process(uint32_t budget) {
  voltage_channel_t *c = &voltage_channel;
  uint32_t done = 0u;
  int16_t raw;
  while (done < budget && voltage_ring_pop(&c->ring, &raw)) {
    q15_16_t x = Q16_MUL((q15_16_t)raw << 16 >> 4, c->gain) + c->offset;
    for (uint32_t s = 0u; s < VOLTAGE_STAGES; ++s) {
      x = voltage_biquad_step(&c->stages[s], x);
    }
    x = voltage_fir_step(c, x);
    c->last = x;
    if (x < c->min_seen) {
      c->min_seen = x;
    }
    if (x > c->max_seen) {
      c->max_seen = x;
    }
    ++c->count;
    ++done;
  }
  return done;
}

uint32_t voltage_status(q15_16_t *last, q15_16_t *min, q15_16_t *max) {
  *last = voltage_channel.last;
  *min = voltage_channel.min_seen;
  *max = voltage_channel.max_seen;
  return voltage_ring_count(&voltage_channel.ring) | (voltage_channel.ring.overruns << 16);
}

uint32_t voltage_signature(void) {
  return crc32_update(0u, (const uint8_t *)&voltage_channel.stages, sizeof voltage_channel.stages);
}

/* ---- channel strain ---- */

#define STRAIN_RING_SIZE 64u
#define STRAIN_TAPS 8u
#define STRAIN_STAGES 3u

typedef struct {
  int16_t samples[STRAIN_RING_SIZE];
  volatile uint32_t head;
  volatile uint32_t tail;
  uint32_t overruns;
} strain_ring_t;

typedef struct {
  q15_16_t b[3];
  q15_16_t a[2];
  q15_16_t z[2];
} strain_biquad_t;

typedef struct {
  strain_ring_t ring;
  strain_biquad_t stages[STRAIN_STAGES];
  q15_16_t fir[STRAIN_TAPS];
  q15_16_t history[STRAIN_TAPS];
  uint32_t history_pos;
  q15_16_t gain;
  q15_16_t offset;
  q15_16_t last;
  q15_16_t min_seen;
  q15_16_t max_seen;
  uint32_t count;
  bool enabled;
} strain_channel_t;

static strain_channel_t strain_channel;

static bool strain_ring_push(strain_ring_t *ring, int16_t sample) {
  const uint32_t next = (ring->head + 1u) & (STRAIN_RING_SIZE - 1u);
  if (next == ring->tail) {
    ++ring->overruns;
    return false;
  }
  ring->samples[ring->head] = sample;
  ring->head = next;
  return true;
}

static bool strain_ring_pop(strain_ring_t *ring, int16_t *sample) {
  if (ring->tail == ring->head) {
    return false;
  }
  *sample = ring->samples[ring->tail];
  ring->tail = (ring->tail + 1u) & (STRAIN_RING_SIZE - 1u);
  return true;
}

static uint32_t strain_ring_count(const strain_ring_t *ring) {
  return (ring->head - ring->tail) & (STRAIN_RING_SIZE - 1u);
}

static q15_16_t strain_biquad_step(strain_biquad_t *s, q15_16_t x) {
  const q15_16_t y = Q16_MUL(s->b[0], x) + s->z[0];
  s->z[0] = Q16_MUL(s->b[1], x) - Q16_MUL(s->a[0], y) + s->z[1];
  s->z[1] = Q16_MUL(s->b[2], x) - Q16_MUL(s->a[1], y);
  return y;
}

static q15_16_t strain_fir_step(strain_channel_t *c, q15_16_t x) {
  c->history[c->history_pos] = x;
  int64_t acc = 0;
  uint32_t pos = c->history_pos;
  for (uint32_t i = 0u; i < STRAIN_TAPS; ++i) {
    acc += (int64_t)c->fir[i] * c->history[pos];
    pos = (pos == 0u) ? STRAIN_TAPS - 1u : pos - 1u;
  }
  c->history_pos = (c->history_pos + 1u) % STRAIN_TAPS;
  return (q15_16_t)(acc >> 16);
}

void strain_init(q15_16_t gain, q15_16_t offset) {
  strain_channel_t *c = &strain_channel;
  c->ring.head = 0u;
  c->ring.tail = 0u;
  c->ring.overruns = 0u;
  for (uint32_t s = 0u; s < STRAIN_STAGES; ++s) {
    c->stages[s].b[0] = Q16_ONE / 13;
    c->stages[s].b[1] = Q16_ONE / 11;
    c->stages[s].b[2] = Q16_ONE / 13;
    c->stages[s].a[0] = -(Q16_ONE / 12);
    c->stages[s].a[1] = Q16_ONE / 18;
    c->stages[s].z[0] = 0;
    c->stages[s].z[1] = 0;
  }
  for (uint32_t i = 0u; i < STRAIN_TAPS; ++i) {
    c->fir[i] = Q16_ONE / (q15_16_t)STRAIN_TAPS;
    c->history[i] = 0;
  }
  c->history_pos = 0u;
  c->gain = gain;
  c->offset = offset;
  c->last = 0;
  c->min_seen = INT32_MAX;
  c->max_seen = INT32_MIN;
  c->count = 0u;
  c->enabled = true;
}

bool strain_sample_isr(int16_t raw) {
  if (!strain_channel.enabled) {
    return false;
  }
  return strain_ring_push(&strain_channel.ring, raw);
}

uint32_t strain_process(uint32_t budget) {
  strain_channel_t *c = &strain_channel;
  uint32_t done = 0u;
  int16_t raw;
  while (done < budget && strain_ring_pop(&c->ring, &raw)) {
    q15_16_t x = Q16_MUL((q15_16_t)raw << 16 >> 4, c->gain) + c->offset;
    for (uint32_t s = 0u; s < STRAIN_STAGES; ++s) {
      x = strain_biquad_step(&c->stages[s], x);
    }
    x = strain_fir_step(c, x);
    c->last = x;
    if (x < c->min_seen) {
      c->min_seen = x;
    }
    if (x > c->max_seen) {
      c->max_seen = x;
    }
    ++c->count;
    ++done;
  }
  return done;
}

uint32_t strain_status(q15_16_t *last, q15_16_t *min, q15_16_t *max) {
  *last = strain_channel.last;
  *min = strain_channel.min_seen;
  *max = strain_channel.max_seen;
  return strain_ring_count(&strain_channel.ring) | (strain_channel.ring.overruns << 16);
}

uint32_t strain_signature(void) {
  return crc32_update(0u, (const uint8_t *)&strain_channel.stages, sizeof strain_channel.stages);
}

/* ---- channel flow ---- */

#define FLOW_RING_SIZE 128u
#define FLOW_TAPS 4u
#define FLOW_STAGES 3u

typedef struct {
  int16_t samples[FLOW_RING_SIZE];
  volatile uint32_t head;
  volatile uint32_t tail;
  uint32_t overruns;
} flow_ring_t;

typedef struct {
  q15_16_t b[3];
  q15_16_t a[2];
  q15_16_t z[2];
} flow_biquad_t;

typedef struct {
  flow_ring_t ring;
  flow_biquad_t stages[FLOW_STAGES];
  q15_16_t fir[FLOW_TAPS];
  q15_16_t history[FLOW_TAPS];
  uint32_t history_pos;
  q15_16_t gain;
  q15_16_t offset;
  q15_16_t last;
  q15_16_t min_seen;
  q15_16_t max_seen;
  uint32_t count;
  bool enabled;
} flow_channel_t;

static flow_channel_t flow_channel;

static bool flow_ring_push(flow_ring_t *ring, int16_t sample) {
  const uint32_t next = (ring->head + 1u) & (FLOW_RING_SIZE - 1u);
  if (next == ring->tail) {
    ++ring->overruns;
    return false;
  }
  ring->samples[ring->head] = sample;
  ring->head = next;
  return true;
}

static bool flow_ring_pop(flow_ring_t *ring, int16_t *sample) {
  if (ring->tail == ring->head) {
    return false;
  }
  *sample = ring->samples[ring->tail];
  ring->tail = (ring->tail + 1u) & (FLOW_RING_SIZE - 1u);
  return true;
}

static uint32_t flow_ring_count(const flow_ring_t *ring) {
  return (ring->head - ring->tail) & (FLOW_RING_SIZE - 1u);
}

static q15_16_t flow_biquad_step(flow_biquad_t *s, q15_16_t x) {
  const q15_16_t y = Q16_MUL(s->b[0], x) + s->z[0];
  s->z[0] = Q16_MUL(s->b[1], x) - Q16_MUL(s->a[0], y) + s->z[1];
  s->z[1] = Q16_MUL(s->b[2], x) - Q16_MUL(s->a[1], y);
  return y;
}

static q15_16_t flow_fir_step(flow_channel_t *c, q15_16_t x) {
  c->history[c->history_pos] = x;
  int64_t acc = 0;
  uint32_t pos = c->history_pos;
  for (uint32_t i = 0u; i < FLOW_TAPS; ++i) {
    acc += (int64_t)c->fir[i] * c->history[pos];
    pos = (pos == 0u) ? FLOW_TAPS - 1u : pos - 1u;
  }
  c->history_pos = (c->history_pos + 1u) % FLOW_TAPS;
  return (q15_16_t)(acc >> 16);
}

void flow_init(q15_16_t gain, q15_16_t offset) {
  flow_channel_t *c = &flow_channel;
  c->ring.head = 0u;
  c->ring.tail = 0u;
  c->ring.overruns = 0u;
  for (uint32_t s = 0u; s < FLOW_STAGES; ++s) {
    c->stages[s].b[0] = Q16_ONE / 14;
    c->stages[s].b[1] = Q16_ONE / 12;
    c->stages[s].b[2] = Q16_ONE / 14;
    c->stages[s].a[0] = -(Q16_ONE / 13);
    c->stages[s].a[1] = Q16_ONE / 19;
    c->stages[s].z[0] = 0;
    c->stages[s].z[1] = 0;
  }
  for (uint32_t i = 0u; i < FLOW_TAPS; ++i) {
    c->fir[i] = Q16_ONE / (q15_16_t)FLOW_TAPS;
    c->history[i] = 0;
  }
  c->history_pos = 0u;
  c->gain = gain;
  c->offset = offset;
  c->last = 0;
  c->min_seen = INT32_MAX;
  c->max_seen = INT32_MIN;
  c->count = 0u;
  c->enabled = true;
}

bool flow_sample_isr(int16_t raw) {
  if (!flow_channel.enabled) {
    return false;
  }
  return flow_ring_push(&flow_channel.ring, raw);
}

uint32_t flow_process(uint32_t budget) {
  flow_channel_t *c = &flow_channel;
  uint32_t done = 0u;
  int16_t raw;
  while (done < budget && flow_ring_pop(&c->ring, &raw)) {
    q15_16_t x = Q16_MUL((q15_16_t)raw << 16 >> 4, c->gain) + c->offset;
    for (uint32_t s = 0u; s < FLOW_STAGES; ++s) {
      x = flow_biquad_step(&c->stages[s], x);
    }
    x = flow_fir_step(c, x);
    c->last = x;
    if (x < c->min_seen) {
      c->min_seen = x;
    }
    if (x > c->max_seen) {
      c->max_seen = x;
    }
    ++c->count;
    ++done;
  }
  return done;
}

uint32_t flow_status(q15_16_t *last, q15_16_t *min, q15_16_t *max) {
  *last = flow_channel.last;
  *min = flow_channel.min_seen;
  *max = flow_channel.max_seen;
  return flow_ring_count(&flow_channel.ring) | (flow_channel.ring.overruns << 16);
}

uint32_t flow_signature(void) {
  return crc32_update(0u, (const uint8_t *)&flow_channel.stages, sizeof flow_channel.stages);
}

/* ---- channel level ---- */

#define LEVEL_RING_SIZE 256u
#define LEVEL_TAPS 5u
#define LEVEL_STAGES 3u

typedef struct {
  int16_t samples[LEVEL_RING_SIZE];
  volatile uint32_t head;
  volatile uint32_t tail;
  uint32_t overruns;
} level_ring_t;

typedef struct {
  q15_16_t b[3];
  q15_16_t a[2];
  q15_16_t z[2];
} level_biquad_t;

typedef struct {
  level_ring_t ring;
  level_biquad_t stages[LEVEL_STAGES];
  q15_16_t fir[LEVEL_TAPS];
  q15_16_t history[LEVEL_TAPS];
  uint32_t history_pos;
  q15_16_t gain;
  q15_16_t offset;
  q15_16_t last;
  q15_16_t min_seen;
  q15_16_t max_seen;
  uint32_t count;
  bool enabled;
} level_channel_t;

static level_channel_t level_channel;

static bool level_ring_push(level_ring_t *ring, int16_t sample) {
  const uint32_t next = (ring->head + 1u) & (LEVEL_RING_SIZE - 1u);
  if (next == ring->tail) {
    ++ring->overruns;
    return false;
  }
  ring->samples[ring->head] = sample;
  ring->head = next;
  return true;
}

static bool level_ring_pop(level_ring_t *ring, int16_t *sample) {
  if (ring->tail == ring->head) {
    return false;
  }
  *sample = ring->samples[ring->tail];
  ring->tail = (ring->tail + 1u) & (LEVEL_RING_SIZE - 1u);
  return true;
}

static uint32_t level_ring_count(const level_ring_t *ring) {
  return (ring->head - ring->tail) & (LEVEL_RING_SIZE - 1u);
}

static q15_16_t level_biquad_step(level_biquad_t *s, q15_16_t x) {
  const q15_16_t y = Q16_MUL(s->b[0], x) + s->z[0];
  s->z[0] = Q16_MUL(s->b[1], x) - Q16_MUL(s->a[0], y) + s->z[1];
  s->z[1] = Q16_MUL(s->b[2], x) - Q16_MUL(s->a[1], y);
  return y;
}

static q15_16_t level_fir_step(level_channel_t *c, q15_16_t x) {
  c->history[c->history_pos] = x;
  int64_t acc = 0;
  uint32_t pos = c->history_pos;
  for (uint32_t i = 0u; i < LEVEL_TAPS; ++i) {
    acc += (int64_t)c->fir[i] * c->history[pos];
    pos = (pos == 0u) ? LEVEL_TAPS - 1u : pos - 1u;
  }
  c->history_pos = (c->history_pos + 1u) % LEVEL_TAPS;
  return (q15_16_t)(acc >> 16);
}

void level_init(q15_16_t gain, q15_16_t offset) {
  level_channel_t *c = &level_channel;
  c->ring.head = 0u;
  c->ring.tail = 0u;
  c->ring.overruns = 0u;
  for (uint32_t s = 0u; s < LEVEL_STAGES; ++s) {
    c->stages[s].b[0] = Q16_ONE / 15;
    c->stages[s].b[1] = Q16_ONE / 13;
    c->stages[s].b[2] = Q16_ONE / 15;
    c->stages[s].a[0] = -(Q16_ONE / 14);
    c->stages[s].a[1] = Q16_ONE / 20;
    c->stages[s].z[0] = 0;
    c->stages[s].z[1] = 0;
  }
  for (uint32_t i = 0u; i < LEVEL_TAPS; ++i) {
    c->fir[i] = Q16_ONE / (q15_16_t)LEVEL_TAPS;
    c->history[i] = 0;
  }
  c->history_pos = 0u;
  c->gain = gain;
  c->offset = offset;
  c->last = 0;
  c->min_seen = INT32_MAX;
  c->max_seen = INT32_MIN;
  c->count = 0u;
  c->enabled = true;
}

bool level_sample_isr(int16_t raw) {
  if (!level_channel.enabled) {
    return false;
  }
  return level_ring_push(&level_channel.ring, raw);
}

uint32_t level_process(uint32_t budget) {
  level_channel_t *c = &level_channel;
  uint32_t done = 0u;
  int16_t raw;
  while (done < budget && level_ring_pop(&c->ring, &raw)) {
    q15_16_t x = Q16_MUL((q15_16_t)raw << 16 >> 4, c->gain) + c->offset;
    for (uint32_t s = 0u; s < LEVEL_STAGES; ++s) {
      x = level_biquad_step(&c->stages[s], x);
    }
    x = level_fir_step(c, x);
    c->last = x;
    if (x < c->min_seen) {
      c->min_seen = x;
    }
    if (x > c->max_seen) {
      c->max_seen = x;
    }
    ++c->count;
    ++done;
  }
  return done;
}

uint32_t level_status(q15_16_t *last, q15_16_t *min, q15_16_t *max) {
  *last = level_channel.last;
  *min = level_channel.min_seen;
  *max = level_channel.max_seen;
  return level_ring_count(&level_channel.ring) | (level_channel.ring.overruns << 16);
}

uint32_t level_signature(void) {
  return crc32_update(0u, (const uint8_t *)&level_channel.stages, sizeof level_channel.stages);
}

/* ---- command parser ---- */

typedef enum { CMD_OK, CMD_UNKNOWN, CMD_BAD_ARGUMENT, CMD_TOO_LONG } cmd_result_t;

typedef cmd_result_t (*cmd_handler_t)(int32_t argument, char *reply, size_t reply_size);

typedef struct {
  const char *name;
  cmd_handler_t handler;
  int32_t min;
  int32_t max;
} cmd_entry_t;

static size_t put_text(char *out, size_t size, size_t pos, const char *text) {
  while (*text != '\0' && pos + 1u < size) {
    out[pos++] = *text++;
  }
  out[pos < size ? pos : size - 1u] = '\0';
  return pos;
}

static size_t put_int(char *out, size_t size, size_t pos, int32_t value) {
  char digits[12];
  size_t n = 0u;
  uint32_t magnitude = value < 0 ? 0u - (uint32_t)value : (uint32_t)value;
  do {
    digits[n++] = (char)('0' + magnitude % 10u);
    magnitude /= 10u;
  } while (magnitude != 0u);
  if (value < 0 && pos + 1u < size) {
    out[pos++] = '-';
  }
  while (n > 0u && pos + 1u < size) {
    out[pos++] = digits[--n];
  }
  out[pos < size ? pos : size - 1u] = '\0';
  return pos;
}

static cmd_result_t cmd_accel_enable(int32_t argument, char *reply, size_t reply_size) {
  accel_channel.enabled = argument != 0;
  size_t pos = put_text(reply, reply_size, 0u, "accel.enable=");
  (void)put_int(reply, reply_size, pos, argument);
  return CMD_OK;
}

static cmd_result_t cmd_accel_gain(int32_t argument, char *reply, size_t reply_size) {
  accel_channel.gain = argument;
  size_t pos = put_text(reply, reply_size, 0u, "accel.gain=");
  (void)put_int(reply, reply_size, pos, argument);
  return CMD_OK;
}

static cmd_result_t cmd_accel_offset(int32_t argument, char *reply, size_t reply_size) {
  accel_channel.offset = argument;
  size_t pos = put_text(reply, reply_size, 0u, "accel.offset=");
  (void)put_int(reply, reply_size, pos, argument);
  return CMD_OK;
}

static cmd_result_t cmd_accel_status(int32_t argument, char *reply, size_t reply_size) {
  (void)argument;
  q15_16_t last, min, max;
  const uint32_t state = accel_status(&last, &min, &max);
  size_t pos = put_text(reply, reply_size, 0u, "accel ");
  pos = put_int(reply, reply_size, pos, last);
  pos = put_text(reply, reply_size, pos, " ");
  pos = put_int(reply, reply_size, pos, min);
  pos = put_text(reply, reply_size, pos, " ");
  pos = put_int(reply, reply_size, pos, max);
  pos = put_text(reply, reply_size, pos, " ");
  (void)put_int(reply, reply_size, pos, (int32_t)state);
  return CMD_OK;
}

static cmd_result_t cmd_gyro_enable(int32_t argument, char *reply, size_t reply_size) {
  gyro_channel.enabled = argument != 0;
  size_t pos = put_text(reply, reply_size, 0u, "gyro.enable=");
  (void)put_int(reply, reply_size, pos, argument);
  return CMD_OK;
}

static cmd_result_t cmd_gyro_gain(int32_t argument, char *reply, size_t reply_size) {
  gyro_channel.gain = argument;
  size_t pos = put_text(reply, reply_size, 0u, "gyro.gain=");
  (void)put_int(reply, reply_size, pos, argument);
  return CMD_OK;
}

static cmd_result_t cmd_gyro_offset(int32_t argument, char *reply, size_t reply_size) {
  gyro_channel.offset = argument;
  size_t pos = put_text(reply, reply_size, 0u, "gyro.offset=");
  (void)put_int(reply, reply_size, pos, argument);
  return CMD_OK;
}

static cmd_result_t cmd_gyro_status(int32_t argument, char *reply, size_t reply_size) {
  (void)argument;
  q15_16_t last, min, max;
  const uint32_t state = gyro_status(&last, &min, &max);
  size_t pos = put_text(reply, reply_size, 0u, "gyro ");
  pos = put_int(reply, reply_size, pos, last);
  pos = put_text(reply, reply_size, pos, " ");
  pos = put_int(reply, reply_size, pos, min);
  pos = put_text(reply, reply_size, pos, " ");
  pos = put_int(reply, reply_size, pos, max);
  pos = put_text(reply, reply_size, pos, " ");
  (void)put_int(reply, reply_size, pos, (int32_t)state);
  return CMD_OK;
}

static cmd_result_t cmd_mag_enable(int32_t argument, char *reply, size_t reply_size) {
  mag_channel.enabled = argument != 0;
  size_t pos = put_text(reply, reply_size, 0u, "mag.enable=");
  (void)put_int(reply, reply_size, pos, argument);
  return CMD_OK;
}

static cmd_result_t cmd_mag_gain(int32_t argument, char *reply, size_t reply_size) {
  mag_channel.gain = argument;
  size_t pos = put_text(reply, reply_size, 0u, "mag.gain=");
  (void)put_int(reply, reply_size, pos, argument);
  return CMD_OK;
}

static cmd_result_t cmd_mag_offset(int32_t argument, char *reply, size_t reply_size) {
  mag_channel.offset = argument;
  size_t pos = put_text(reply, reply_size, 0u, "mag.offset=");
  (void)put_int(reply, reply_size, pos, argument);
  return CMD_OK;
}

static cmd_result_t cmd_mag_status(int32_t argument, char *reply, size_t reply_size) {
  (void)argument;
  q15_16_t last, min, max;
  const uint32_t state = mag_status(&last, &min, &max);
  size_t pos = put_text(reply, reply_size, 0u, "mag ");
  pos = put_int(reply, reply_size, pos, last);
  pos = put_text(reply, reply_size, pos, " ");
  pos = put_int(reply, reply_size, pos, min);
  pos = put_text(reply, reply_size, pos, " ");
  pos = put_int(reply, reply_size, pos, max);
  pos = put_text(reply, reply_size, pos, " ");
  (void)put_int(reply, reply_size, pos, (int32_t)state);
  return CMD_OK;
}

static cmd_result_t cmd_baro_enable(int32_t argument, char *reply, size_t reply_size) {
  baro_channel.enabled = argument != 0;
  size_t pos = put_text(reply, reply_size, 0u, "baro.enable=");
  (void)put_int(reply, reply_size, pos, argument);
  return CMD_OK;
}

static cmd_result_t cmd_baro_gain(int32_t argument, char *reply, size_t reply_size) {
  baro_channel.gain = argument;
  size_t pos = put_text(reply, reply_size, 0u, "baro.gain=");
  (void)put_int(reply, reply_size, pos, argument);
  return CMD_OK;
}

static cmd_result_t cmd_baro_offset(int32_t argument, char *reply, size_t reply_size) {
  baro_channel.offset = argument;
  size_t pos = put_text(reply, reply_size, 0u, "baro.offset=");
  (void)put_int(reply, reply_size, pos, argument);
  return CMD_OK;
}

static cmd_result_t cmd_baro_status(int32_t argument, char *reply, size_t reply_size) {
  (void)argument;
  q15_16_t last, min, max;
  const uint32_t state = baro_status(&last, &min, &max);
  size_t pos = put_text(reply, reply_size, 0u, "baro ");
  pos = put_int(reply, reply_size, pos, last);
  pos = put_text(reply, reply_size, pos, " ");
  pos = put_int(reply, reply_size, pos, min);
  pos = put_text(reply, reply_size, pos, " ");
  pos = put_int(reply, reply_size, pos, max);
  pos = put_text(reply, reply_size, pos, " ");
  (void)put_int(reply, reply_size, pos, (int32_t)state);
  return CMD_OK;
}

static cmd_result_t cmd_temp_enable(int32_t argument, char *reply, size_t reply_size) {
  temp_channel.enabled = argument != 0;
  size_t pos = put_text(reply, reply_size, 0u, "temp.enable=");
  (void)put_int(reply, reply_size, pos, argument);
  return CMD_OK;
}

static cmd_result_t cmd_temp_gain(int32_t argument, char *reply, size_t reply_size) {
  temp_channel.gain = argument;
  size_t pos = put_text(reply, reply_size, 0u, "temp.gain=");
  (void)put_int(reply, reply_size, pos, argument);
  return CMD_OK;
}

static cmd_result_t cmd_temp_offset(int32_t argument, char *reply, size_t reply_size) {
  temp_channel.offset = argument;
  size_t pos = put_text(reply, reply_size, 0u, "temp.offset=");
  (void)put_int(reply, reply_size, pos, argument);
  return CMD_OK;
}

static cmd_result_t cmd_temp_status(int32_t argument, char *reply, size_t reply_size) {
  (void)argument;
  q15_16_t last, min, max;
  const uint32_t state = temp_status(&last, &min, &max);
  size_t pos = put_text(reply, reply_size, 0u, "temp ");
  pos = put_int(reply, reply_size, pos, last);
  pos = put_text(reply, reply_size, pos, " ");
  pos = put_int(reply, reply_size, pos, min);
  pos = put_text(reply, reply_size, pos, " ");
  pos = put_int(reply, reply_size, pos, max);
  pos = put_text(reply, reply_size, pos, " ");
  (void)put_int(reply, reply_size, pos, (int32_t)state);
  return CMD_OK;
}

static cmd_result_t cmd_humid_enable(int32_t argument, char *reply, size_t reply_size) {
  humid_channel.enabled = argument != 0;
  size_t pos = put_text(reply, reply_size, 0u, "humid.enable=");
  (void)put_int(reply, reply_size, pos, argument);
  return CMD_OK;
}

static cmd_result_t cmd_humid_gain(int32_t argument, char *reply, size_t reply_size) {
  humid_channel.gain = argument;
  size_t pos = put_text(reply, reply_size, 0u, "humid.gain=");
  (void)put_int(reply, reply_size, pos, argument);
  return CMD_OK;
}

static cmd_result_t cmd_humid_offset(int32_t argument, char *reply, size_t reply_size) {
  humid_channel.offset = argument;
  size_t pos = put_text(reply, reply_size, 0u, "humid.offset=");
  (void)put_int(reply, reply_size, pos, argument);
  return CMD_OK;
}

static cmd_result_t cmd_humid_status(int32_t argument, char *reply, size_t reply_size) {
  (void)argument;
  q15_16_t last, min, max;
  const uint32_t state = humid_status(&last, &min, &max);
  size_t pos = put_text(reply, reply_size, 0u, "humid ");
  pos = put_int(reply, reply_size, pos, last);
  pos = put_text(reply, reply_size, pos, " ");
  pos = put_int(reply, reply_size, pos, min);
  pos = put_text(reply, reply_size, pos, " ");
  pos = put_int(reply, reply_size, pos, max);
  pos = put_text(reply, reply_size, pos, " ");
  (void)put_int(reply, reply_size, pos, (int32_t)state);
  return CMD_OK;
}

static cmd_result_t cmd_light_enable(int32_t argument, char *reply, size_t reply_size) {
  light_channel.enabled = argument != 0;
  size_t pos = put_text(reply, reply_size, 0u, "light.enable=");
  (void)put_int(reply, reply_size, pos, argument);
  return CMD_OK;
}

static cmd_result_t cmd_light_gain(int32_t argument, char *reply, size_t reply_size) {
  light_channel.gain = argument;
  size_t pos = put_text(reply, reply_size, 0u, "light.gain=");
  (void)put_int(reply, reply_size, pos, argument);
  return CMD_OK;
}

static cmd_result_t cmd_light_offset(int32_t argument, char *reply, size_t reply_size) {
  light_channel.offset = argument;
  size_t pos = put_text(reply, reply_size, 0u, "light.offset=");
  (void)put_int(reply, reply_size, pos, argument);
  return CMD_OK;
}

static cmd_result_t cmd_light_status(int32_t argument, char *reply, size_t reply_size) {
  (void)argument;
  q15_16_t last, min, max;
  const uint32_t state = light_status(&last, &min, &max);
  size_t pos = put_text(reply, reply_size, 0u, "light ");
  pos = put_int(reply, reply_size, pos, last);
  pos = put_text(reply, reply_size, pos, " ");
  pos = put_int(reply, reply_size, pos, min);
  pos = put_text(reply, reply_size, pos, " ");
  pos = put_int(reply, reply_size, pos, max);
  pos = put_text(reply, reply_size, pos, " ");
  (void)put_int(reply, reply_size, pos, (int32_t)state);
  return CMD_OK;
}

static cmd_result_t cmd_current_enable(int32_t argument, char *reply, size_t reply_size) {
  current_channel.enabled = argument != 0;
  size_t pos = put_text(reply, reply_size, 0u, "current.enable=");
  (void)put_int(reply, reply_size, pos, argument);
  return CMD_OK;
}

static cmd_result_t cmd_current_gain(int32_t argument, char *reply, size_t reply_size) {
  current_channel.gain = argument;
  size_t pos = put_text(reply, reply_size, 0u, "current.gain=");
  (void)put_int(reply, reply_size, pos, argument);
  return CMD_OK;
}

static cmd_result_t cmd_current_offset(int32_t argument, char *reply, size_t reply_size) {
  current_channel.offset = argument;
  size_t pos = put_text(reply, reply_size, 0u, "current.offset=");
  (void)put_int(reply, reply_size, pos, argument);
  return CMD_OK;
}

static cmd_result_t cmd_current_status(int32_t argument, char *reply, size_t reply_size) {
  (void)argument;
  q15_16_t last, min, max;
  const uint32_t state = current_status(&last, &min, &max);
  size_t pos = put_text(reply, reply_size, 0u, "current ");
  pos = put_int(reply, reply_size, pos, last);
  pos = put_text(reply, reply_size, pos, " ");
  pos = put_int(reply, reply_size, pos, min);
  pos = put_text(reply, reply_size, pos, " ");
  pos = put_int(reply, reply_size, pos, max);
  pos = put_text(reply, reply_size, pos, " ");
  (void)put_int(reply, reply_size, pos, (int32_t)state);
  return CMD_OK;
}

static cmd_result_t cmd_voltage_enable(int32_t argument, char *reply, size_t reply_size) {
  voltage_channel.enabled = argument != 0;
  size_t pos = put_text(reply, reply_size, 0u, "voltage.enable=");
  (void)put_int(reply, reply_size, pos, argument);
  return CMD_OK;
}

static cmd_result_t cmd_voltage_gain(int32_t argument, char *reply, size_t reply_size) {
  voltage_channel.gain = argument;
  size_t pos = put_text(reply, reply_size, 0u, "voltage.gain=");
  (void)put_int(reply, reply_size, pos, argument);
  return CMD_OK;
}

static cmd_result_t cmd_voltage_offset(int32_t argument, char *reply, size_t reply_size) {
  voltage_channel.offset = argument;
  size_t pos = put_text(reply, reply_size, 0u, "voltage.offset=");
  (void)put_int(reply, reply_size, pos, argument);
  return CMD_OK;
}

static cmd_result_t cmd_voltage_status(int32_t argument, char *reply, size_t reply_size) {
  (void)argument;
  q15_16_t last, min, max;
  const uint32_t state = voltage_status(&last, &min, &max);
  size_t pos = put_text(reply, reply_size, 0u, "voltage ");
  pos = put_int(reply, reply_size, pos, last);
  pos = put_text(reply, reply_size, pos, " ");
  pos = put_int(reply, reply_size, pos, min);
  pos = put_text(reply, reply_size, pos, " ");
  pos = put_int(reply, reply_size, pos, max);
  pos = put_text(reply, reply_size, pos, " ");
  (void)put_int(reply, reply_size, pos, (int32_t)state);
  return CMD_OK;
}

static cmd_result_t cmd_strain_enable(int32_t argument, char *reply, size_t reply_size) {
  strain_channel.enabled = argument != 0;
  size_t pos = put_text(reply, reply_size, 0u, "strain.enable=");
  (void)put_int(reply, reply_size, pos, argument);
  return CMD_OK;
}

static cmd_result_t cmd_strain_gain(int32_t argument, char *reply, size_t reply_size) {
  strain_channel.gain = argument;
  size_t pos = put_text(reply, reply_size, 0u, "strain.gain=");
  (void)put_int(reply, reply_size, pos, argument);
  return CMD_OK;
}

static cmd_result_t cmd_strain_offset(int32_t argument, char *reply, size_t reply_size) {
  strain_channel.offset = argument;
  size_t pos = put_text(reply, reply_size, 0u, "strain.offset=");
  (void)put_int(reply, reply_size, pos, argument);
  return CMD_OK;
}

static cmd_result_t cmd_strain_status(int32_t argument, char *reply, size_t reply_size) {
  (void)argument;
  q15_16_t last, min, max;
  const uint32_t state = strain_status(&last, &min, &max);
  size_t pos = put_text(reply, reply_size, 0u, "strain ");
  pos = put_int(reply, reply_size, pos, last);
  pos = put_text(reply, reply_size, pos, " ");
  pos = put_int(reply, reply_size, pos, min);
  pos = put_text(reply, reply_size, pos, " ");
  pos = put_int(reply, reply_size, pos, max);
  pos = put_text(reply, reply_size, pos, " ");
  (void)put_int(reply, reply_size, pos, (int32_t)state);
  return CMD_OK;
}

static cmd_result_t cmd_flow_enable(int32_t argument, char *reply, size_t reply_size) {
  flow_channel.enabled = argument != 0;
  size_t pos = put_text(reply, reply_size, 0u, "flow.enable=");
  (void)put_int(reply, reply_size, pos, argument);
  return CMD_OK;
}

static cmd_result_t cmd_flow_gain(int32_t argument, char *reply, size_t reply_size) {
  flow_channel.gain = argument;
  size_t pos = put_text(reply, reply_size, 0u, "flow.gain=");
  (void)put_int(reply, reply_size, pos, argument);
  return CMD_OK;
}

static cmd_result_t cmd_flow_offset(int32_t argument, char *reply, size_t reply_size) {
  flow_channel.offset = argument;
  size_t pos = put_text(reply, reply_size, 0u, "flow.offset=");
  (void)put_int(reply, reply_size, pos, argument);
  return CMD_OK;
}

static cmd_result_t cmd_flow_status(int32_t argument, char *reply, size_t reply_size) {
  (void)argument;
  q15_16_t last, min, max;
  const uint32_t state = flow_status(&last, &min, &max);
  size_t pos = put_text(reply, reply_size, 0u, "flow ");
  pos = put_int(reply, reply_size, pos, last);
  pos = put_text(reply, reply_size, pos, " ");
  pos = put_int(reply, reply_size, pos, min);
  pos = put_text(reply, reply_size, pos, " ");
  pos = put_int(reply, reply_size, pos, max);
  pos = put_text(reply, reply_size, pos, " ");
  (void)put_int(reply, reply_size, pos, (int32_t)state);
  return CMD_OK;
}

static cmd_result_t cmd_level_enable(int32_t argument, char *reply, size_t reply_size) {
  level_channel.enabled = argument != 0;
  size_t pos = put_text(reply, reply_size, 0u, "level.enable=");
  (void)put_int(reply, reply_size, pos, argument);
  return CMD_OK;
}

static cmd_result_t cmd_level_gain(int32_t argument, char *reply, size_t reply_size) {
  level_channel.gain = argument;
  size_t pos = put_text(reply, reply_size, 0u, "level.gain=");
  (void)put_int(reply, reply_size, pos, argument);
  return CMD_OK;
}

static cmd_result_t cmd_level_offset(int32_t argument, char *reply, size_t reply_size) {
  level_channel.offset = argument;
  size_t pos = put_text(reply, reply_size, 0u, "level.offset=");
  (void)put_int(reply, reply_size, pos, argument);
  return CMD_OK;
}

static cmd_result_t cmd_level_status(int32_t argument, char *reply, size_t reply_size) {
  (void)argument;
  q15_16_t last, min, max;
  const uint32_t state = level_status(&last, &min, &max);
  size_t pos = put_text(reply, reply_size, 0u, "level ");
  pos = put_int(reply, reply_size, pos, last);
  pos = put_text(reply, reply_size, pos, " ");
  pos = put_int(reply, reply_size, pos, min);
  pos = put_text(reply, reply_size, pos, " ");
  pos = put_int(reply, reply_size, pos, max);
  pos = put_text(reply, reply_size, pos, " ");
  (void)put_int(reply, reply_size, pos, (int32_t)state);
  return CMD_OK;
}

static const cmd_entry_t cmd_table[] = {
  {"accel.enable", cmd_accel_enable, -1000000, 1000000},
  {"accel.gain", cmd_accel_gain, -1000000, 1000000},
  {"accel.offset", cmd_accel_offset, -1000000, 1000000},
  {"accel.status", cmd_accel_status, 0, 0},
  {"gyro.enable", cmd_gyro_enable, -1000000, 1000000},
  {"gyro.gain", cmd_gyro_gain, -1000000, 1000000},
  {"gyro.offset", cmd_gyro_offset, -1000000, 1000000},
  {"gyro.status", cmd_gyro_status, 0, 0},
  {"mag.enable", cmd_mag_enable, -1000000, 1000000},
  {"mag.gain", cmd_mag_gain, -1000000, 1000000},
  {"mag.offset", cmd_mag_offset, -1000000, 1000000},
  {"mag.status", cmd_mag_status, 0, 0},
  {"baro.enable", cmd_baro_enable, -1000000, 1000000},
  {"baro.gain", cmd_baro_gain, -1000000, 1000000},
  {"baro.offset", cmd_baro_offset, -1000000, 1000000},
  {"baro.status", cmd_baro_status, 0, 0},
  {"temp.enable", cmd_temp_enable, -1000000, 1000000},
  {"temp.gain", cmd_temp_gain, -1000000, 1000000},
  {"temp.offset", cmd_temp_offset, -1000000, 1000000},
  {"temp.status", cmd_temp_status, 0, 0},
  {"humid.enable", cmd_humid_enable, -1000000, 1000000},
  {"humid.gain", cmd_humid_gain, -1000000, 1000000},
  {"humid.offset", cmd_humid_offset, -1000000, 1000000},
  {"humid.status", cmd_humid_status, 0, 0},
  {"light.enable", cmd_light_enable, -1000000, 1000000},
  {"light.gain", cmd_light_gain, -1000000, 1000000},
  {"light.offset", cmd_light_offset, -1000000, 1000000},
  {"light.status", cmd_light_status, 0, 0},
  {"current.enable", cmd_current_enable, -1000000, 1000000},
  {"current.gain", cmd_current_gain, -1000000, 1000000},
  {"current.offset", cmd_current_offset, -1000000, 1000000},
  {"current.status", cmd_current_status, 0, 0},
  {"voltage.enable", cmd_voltage_enable, -1000000, 1000000},
  {"voltage.gain", cmd_voltage_gain, -1000000, 1000000},
  {"voltage.offset", cmd_voltage_offset, -1000000, 1000000},
  {"voltage.status", cmd_voltage_status, 0, 0},
  {"strain.enable", cmd_strain_enable, -1000000, 1000000},
  {"strain.gain", cmd_strain_gain, -1000000, 1000000},
  {"strain.offset", cmd_strain_offset, -1000000, 1000000},
  {"strain.status", cmd_strain_status, 0, 0},
  {"flow.enable", cmd_flow_enable, -1000000, 1000000},
  {"flow.gain", cmd_flow_gain, -1000000, 1000000},
  {"flow.offset", cmd_flow_offset, -1000000, 1000000},
  {"flow.status", cmd_flow_status, 0, 0},
  {"level.enable", cmd_level_enable, -1000000, 1000000},
  {"level.gain", cmd_level_gain, -1000000, 1000000},
  {"level.offset", cmd_level_offset, -1000000, 1000000},
  {"level.status", cmd_level_status, 0, 0},
};

static bool text_equal(const char *a, const char *b, size_t length) {
  for (size_t i = 0u; i < length; ++i) {
    if (a[i] != b[i] || b[i] == '\0') {
      return false;
    }
  }
  return b[length] == '\0';
}

static bool parse_int(const char *text, int32_t *value) {
  bool negative = false;
  int64_t result = 0;
  if (*text == '-') {
    negative = true;
    ++text;
  }
  if (*text < '0' || *text > '9') {
    return false;
  }
  while (*text >= '0' && *text <= '9') {
    result = result * 10 + (*text++ - '0');
    if (result > INT32_MAX) {
      return false;
    }
  }
  if (*text != '\0') {
    return false;
  }
  *value = (int32_t)(negative ? -result : result);
  return true;
}

cmd_result_t cmd_execute(const char *line, char *reply, size_t reply_size) {
  size_t name_length = 0u;
  while (line[name_length] != '\0' && line[name_length] != ' ') {
    if (++name_length > 32u) {
      return CMD_TOO_LONG;
    }
  }
  int32_t argument = 0;
  if (line[name_length] == ' ' && !parse_int(line + name_length + 1u, &argument)) {
    return CMD_BAD_ARGUMENT;
  }
  for (size_t i = 0u; i < sizeof cmd_table / sizeof cmd_table[0]; ++i) {
    if (text_equal(line, cmd_table[i].name, name_length)) {
      if (argument < cmd_table[i].min || argument > cmd_table[i].max) {
        return CMD_BAD_ARGUMENT;
      }
      return cmd_table[i].handler(argument, reply, reply_size);
    }
  }
  return CMD_UNKNOWN;
}

void hub_init(void) {
  accel_init(Q16_ONE + 0, 0);
  gyro_init(Q16_ONE + 1000, -50);
  mag_init(Q16_ONE + 2000, -100);
  baro_init(Q16_ONE + 3000, -150);
  temp_init(Q16_ONE + 4000, -200);
  humid_init(Q16_ONE + 5000, -250);
  light_init(Q16_ONE + 6000, -300);
  current_init(Q16_ONE + 7000, -350);
  voltage_init(Q16_ONE + 8000, -400);
  strain_init(Q16_ONE + 9000, -450);
  flow_init(Q16_ONE + 10000, -500);
  level_init(Q16_ONE + 11000, -550);
}

uint32_t hub_service(uint32_t budget) {
  uint32_t done = 0u;
  done += accel_process(budget);
  done += gyro_process(budget);
  done += mag_process(budget);
  done += baro_process(budget);
  done += temp_process(budget);
  done += humid_process(budget);
  done += light_process(budget);
  done += current_process(budget);
  done += voltage_process(budget);
  done += strain_process(budget);
  done += flow_process(budget);
  done += level_process(budget);
  return done;
}

uint32_t hub_signature(void) {
  uint32_t s = 0u;
  s ^= accel_signature();
  s ^= gyro_signature();
  s ^= mag_signature();
  s ^= baro_signature();
  s ^= temp_signature();
  s ^= humid_signature();
  s ^= light_signature();
  s ^= current_signature();
  s ^= voltage_signature();
  s ^= strain_signature();
  s ^= flow_signature();
  s ^= level_signature();
  return s;
}
