// Reviewed name tables. Country names in Spanish as used in Spain, capital
// names in Spanish, and the English labels drawn on the map. Everything not
// listed here comes from i18n-iso-countries (countries) and GeoNames
// (capitals) unchanged.

// Spanish country names that differ from i18n-iso-countries' "es" entry.
export const countryEs = {
  BH: 'Baréin', BJ: 'Benín', BW: 'Botsuana', BN: 'Brunéi',
  CD: 'República Democrática del Congo', CG: 'República del Congo',
  CZ: 'Chequia', FJ: 'Fiyi', GW: 'Guinea-Bisáu', KP: 'Corea del Norte',
  KR: 'Corea del Sur', LA: 'Laos', PW: 'Palaos', PN: 'Islas Pitcairn',
  CC: 'Islas Cocos', SY: 'Siria', SR: 'Surinam', TL: 'Timor Oriental',
  KN: 'San Cristóbal y Nieves', VA: 'Vaticano', BL: 'San Bartolomé',
  MF: 'San Martín', SX: 'Sint Maarten', CW: 'Curazao',
  SH: 'Santa Elena, Ascensión y Tristán de Acuña',
  GS: 'Islas Georgias del Sur y Sandwich del Sur', IQ: 'Irak',
  TF: 'Tierras Australes y Antárticas Francesas', EH: 'Sáhara Occidental',
  AX: 'Islas Åland', MK: 'Macedonia del Norte', US: 'Estados Unidos',
  VG: 'Islas Vírgenes Británicas',
};

// Spanish capital names where GeoNames' Spanish name is missing, outdated or
// not the form used in Spain. Keys are ISO 3166-1 alpha-2 codes.
export const capitalEs = {
  AD: 'Andorra la Vieja', KZ: 'Astaná', MD: 'Chisináu', XK: 'Pristina', TV: 'Funafuti',
  GQ: 'Malabo', MM: 'Naipyidó', MO: 'Macao', MV: 'Malé',
  MU: 'Port Louis', US: 'Washington D. C.', TO: 'Nukualofa',
  FM: 'Palikir', GU: 'Agaña', BJ: 'Porto Novo', SS: 'Yuba',
  MR: 'Nuakchot', VA: 'Ciudad del Vaticano', SG: 'Singapur', MP: 'Saipán',
  KI: 'Tarawa Sur', IL: 'Jerusalén', PS: 'Ramala', EH: 'El Aaiún',
  TK: 'Atafu', IO: 'Diego García', KW: 'Kuwait', PG: 'Port Moresby',
  AI: 'The Valley', TF: 'Port-aux-Français', FK: 'Puerto Argentino',
  UA: 'Kiev', NG: 'Abuya', GW: 'Bisáu', MT: 'La Valeta', TJ: 'Dusambé',
};

// English capital labels for the map where GeoNames' English name is not
// the short current form.
export const capitalEn = {
  KZ: 'Astana', FM: 'Palikir', XK: 'Pristina', US: 'Washington, D.C.',
  IO: 'Diego Garcia', IL: 'Jerusalem', PS: 'Ramallah', EH: 'Laayoune',
  TK: 'Atafu', MO: 'Macao', KI: 'South Tarawa', GU: 'Hagåtña', MM: 'Naypyidaw',
};

// English country labels (drawn upper-case) where the short English name
// differs from i18n-iso-countries' "en" entry.
export const countryEn = {
  BO: 'Bolivia', CD: 'Dem. Rep. of the Congo', CG: 'Congo', CZ: 'Czechia',
  FM: 'Micronesia', IR: 'Iran', KP: 'North Korea', KR: 'South Korea',
  LA: 'Laos', MD: 'Moldova', MK: 'North Macedonia', PS: 'Palestine',
  RU: 'Russia', SY: 'Syria', TW: 'Taiwan', TZ: 'Tanzania',
  US: 'United States', VE: 'Venezuela', VN: 'Vietnam',
  GB: 'United Kingdom', CI: "Côte d'Ivoire", TR: 'Türkiye', GM: 'Gambia',
  BN: 'Brunei', SJ: 'Svalbard', CN: 'China', VA: 'Vatican City',
  FK: 'Falkland Islands', SH: 'Saint Helena', TF: 'French Southern Lands',
  GS: 'South Georgia', IO: 'British Indian Ocean Territory', XK: 'Kosovo',
  BQ: 'Caribbean Netherlands', AX: 'Åland', CC: 'Cocos Islands',
  VG: 'British Virgin Islands', VI: 'U.S. Virgin Islands', SX: 'Sint Maarten',
  MF: 'Saint Martin', BL: 'Saint Barthélemy', KN: 'Saint Kitts and Nevis',
  VC: 'Saint Vincent and the Grenadines', HM: 'Heard Island',
  UM: 'U.S. Minor Outlying Islands', AQ: 'Antarctica', EH: 'Western Sahara',
  PN: 'Pitcairn Islands', MP: 'Northern Mariana Islands', SZ: 'Eswatini',
  CV: 'Cabo Verde', TL: 'Timor-Leste', RE: 'Réunion', CW: 'Curaçao',
  ST: 'São Tomé and Príncipe', BA: 'Bosnia and Herzegovina',
};

// Shorter English labels, tried when the full name does not fit.
export const countryShort = {
  GB: 'U.K.', AE: 'U.A.E.', BA: 'Bosnia and Herz.', DO: 'Dominican Rep.',
  CF: 'Central African Rep.', CD: 'D.R. Congo', PH: 'Philippines',
  NZ: 'N. Zealand', KR: 'S. Korea', KP: 'N. Korea', MK: 'N. Macedonia',
  EH: 'W. Sahara', GQ: 'Eq. Guinea', US: 'U.S.A.', SA: 'Saudi Arabia',
  PG: 'Papua N. Guinea', SB: 'Solomon Is.', TT: 'Trinidad and Tobago',
  GF: 'Fr. Guiana', BQ: 'Carib. Neth.', SJ: 'Svalbard', CZ: 'Czechia',
  LU: 'Lux.', LI: 'Liecht.', SK: 'Slovakia', BD: 'Bangladesh',
  CR: 'Costa Rica', SV: 'El Salvador', NL: 'Neth.', CH: 'Switz.',
  BE: 'Belg.', ME: 'Mont.', SI: 'Slov.', HR: 'Croatia', GW: 'G.-Bissau',
  SL: 'S. Leone', TF: 'Fr. S. Lands', IO: 'Br. Ind. Oc. Ter.',
};

// Natural Earth admin-0 features without an ISO number: the ISO territory
// they are shown as part of, or null for areas shown apart and unlabelled.
export const unnumbered = {
  'Kosovo': 'XK', 'N. Cyprus': 'CY', 'Cyprus U.N. Buffer Zone': 'CY',
  'Somaliland': 'SO', 'Dhekelia': 'GB', 'Akrotiri': 'GB', 'Baikonur': 'KZ',
  'USNB Guantanamo Bay': 'CU', 'Coral Sea Is.': 'AU', 'Clipperton I.': 'FR',
  'Indian Ocean Ter.': 'DROP', 'Siachen Glacier': null, 'Spratly Is.': null,
  'Bajo Nuevo Bank': null, 'Serranilla Bank': null, 'Scarborough Reef': null,
};
