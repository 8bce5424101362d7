<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>zel::texts</name>
    <message>
        <source>Количество измерений %1</source>
        <translation>Number of measurements %1</translation>
    </message>
    <message>
        <source>Блок записей неполный: декодировано измерений %1 из %2</source>
        <translation>Record block incomplete: %1 of %2 measurements decoded</translation>
    </message>
    <message>
        <source>Невозможно открыть порт</source>
        <translation>Cannot open the port</translation>
    </message>
    <message>
        <source>Время ожидания истекло (1)</source>
        <translation>Timed out (1)</translation>
    </message>
    <message>
        <source>Не установлено соединение</source>
        <translation>No connection established</translation>
    </message>
    <message>
        <source>Время ожидания истекло (2)</source>
        <translation>Timed out (2)</translation>
    </message>
    <message>
        <source>Считано %1 байт</source>
        <translation>Read %1 bytes</translation>
    </message>
    <message>
        <source>Время ожидания истекло (3)</source>
        <translation>Timed out (3)</translation>
    </message>
    <message>
        <source>Не совпали контрольные суммы</source>
        <translation>Checksums do not match</translation>
    </message>
    <message>
        <source>Повторите ввод</source>
        <translation>Repeat the reading</translation>
    </message>
    <message>
        <source>Время ожидания k/s истекло (4)</source>
        <translation>Timed out waiting for k/s (4)</translation>
    </message>
    <message>
        <source>Таблица записана успешно! Всего %1</source>
        <translation>Table written successfully! Total %1</translation>
    </message>
    <message>
        <source>Не совпала контрольная сумма</source>
        <translation>Checksum does not match</translation>
    </message>
    <message>
        <source> Запись программы в EEPROM</source>
        <translation> Writing the program to EEPROM</translation>
    </message>
    <message>
        <source> Время ожидания истекло (2), %1</source>
        <translation> Timed out (2), %1</translation>
    </message>
    <message>
        <source> Программа загружена</source>
        <translation> Program loaded</translation>
    </message>
    <message>
        <source>Не совпала контрольная сумма </source>
        <translation>Checksum does not match </translation>
    </message>
    <message>
        <source>Stream read error</source>
        <translation>Stream read error</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid integer value</source>
        <translation>&apos;%1&apos; is not a valid integer value</translation>
    </message>
    <message>
        <source>Заголовок данных неполный: %1 байт вместо %2</source>
        <translation>Data header incomplete: %1 bytes instead of %2</translation>
    </message>
    <message>
        <source>Cannot open file &quot;%1&quot;. %2</source>
        <translation>Cannot open file &quot;%1&quot;. %2</translation>
    </message>
    <message>
        <source>Файл &quot;%1&quot; слишком велик (%2 байт) для файла данных станции</source>
        <translation>File &quot;%1&quot; is too large (%2 bytes) for a station data file</translation>
    </message>
    <message>
        <source>Read error in file &quot;%1&quot;. %2</source>
        <translation>Read error in file &quot;%1&quot;. %2</translation>
    </message>
    <message>
        <source>Cannot create file &quot;%1&quot;. %2</source>
        <translation>Cannot create file &quot;%1&quot;. %2</translation>
    </message>
    <message>
        <source>Write error in file &quot;%1&quot;. %2</source>
        <translation>Write error in file &quot;%1&quot;. %2</translation>
    </message>
    <message>
        <source>Строка %1: %2 = %3 вне пределов от %4 до %5</source>
        <translation>Line %1: %2 = %3 outside the range %4 to %5</translation>
    </message>
    <message>
        <source>Строка %1: запись неполная, нужны четыре числа A, B, M, N</source>
        <translation>Line %1: incomplete entry, four numbers A, B, M, N are needed</translation>
    </message>
    <message>
        <source>Invalid numeric input &quot;%1&quot; in line %2</source>
        <translation>Invalid numeric input &quot;%1&quot; in line %2</translation>
    </message>
    <message>
        <source>Строка %1: в таблице больше %2 записей</source>
        <translation>Line %1: the table has more than %2 entries</translation>
    </message>
    <message>
        <source>Invalid argument to date encode</source>
        <translation>Invalid argument to date encode</translation>
    </message>
    <message>
        <source>Invalid argument to time encode</source>
        <translation>Invalid argument to time encode</translation>
    </message>
    <message>
        <source>Этот файл не является программой для прибора ZEL-TERRAVOX</source>
        <translation>This file is not a program for the ZEL-TERRAVOX instrument</translation>
    </message>
    <message>
        <source>Файл прошивки слишком велик: %1 байт, допустимо не более %2</source>
        <translation>The firmware file is too large: %1 bytes, at most %2 allowed</translation>
    </message>
    <message>
        <source>В данных нет измерений с положениями электродов (методы 1–5): выгружать нечего</source>
        <translation>The data hold no measurements with electrode positions (methods 1–5): nothing to export</translation>
    </message>
    <message>
        <source>%1 = %2: нужно %3</source>
        <translation>%1 = %2: must be %3</translation>
    </message>
    <message>
        <source>Установка %1 одноканальная: четыре канала бывают только у диполь-дипольной</source>
        <translation>The %1 array has one channel: only dipole-dipole has four channels</translation>
    </message>
    <message>
        <source>На линии из %1 электродов не помещается ни одна установка: уменьшите a или n</source>
        <translation>No array fits on a line of %1 electrodes: reduce a or n</translation>
    </message>
    <message>
        <source>В таблице было бы %1 записей, а станция принимает не больше %2, на %3 меньше: уменьшите a-max, n-max или число электродов</source>
        <translation>The table would have %1 entries, but the station takes at most %2, %3 fewer: reduce a-max, n-max or the number of electrodes</translation>
    </message>
    <message>
        <source>Электрод %1 = %2 вне пределов от %3 до %4 на %5: сдвиньте первый номер или уменьшите линию</source>
        <translation>Electrode %1 = %2 is outside the range %3 to %4 by %5: move the first number or shorten the line</translation>
    </message>
    <message>
        <source>Профиля L%1 F%2 (линия %1, файл %2) в данных нет</source>
        <translation>Profile L%1 F%2 (line %1, file %2) is not in the data</translation>
    </message>
    <message>
        <source>no such device (%1). Is the adapter plugged in?</source>
        <translation>no such device (%1). Is the adapter plugged in?</translation>
    </message>
    <message>
        <source>permission denied (%1). Your user must be in the group dialout: sudo adduser $USER dialout, then log out and in again.</source>
        <translation>permission denied (%1). Your user must be in the group dialout: sudo adduser $USER dialout, then log out and in again.</translation>
    </message>
    <message>
        <source>the port is busy: another program holds it (%1).</source>
        <translation>the port is busy: another program holds it (%1).</translation>
    </message>
    <message>
        <source>Error opening COM%1: </source>
        <translation>Error opening COM%1: </translation>
    </message>
    <message>
        <source>Timeout waiting for response.</source>
        <translation>Timeout waiting for response.</translation>
    </message>
    <message>
        <source>Port is in use -- operation aborted</source>
        <translation>Port is in use -- operation aborted</translation>
    </message>
    <message>
        <source>On Linux this usually means that your user is not in the group dialout (sudo adduser $USER dialout, then log out and in again), or that no serial adapter is plugged in. The program carries on without a port: data files can still be loaded, viewed and exported.</source>
        <translation>On Linux this usually means that your user is not in the group dialout (sudo adduser $USER dialout, then log out and in again), or that no serial adapter is plugged in. The program carries on without a port: data files can still be loaded, viewed and exported.</translation>
    </message>
    <message>
        <source>Вы уверены? Будьте внимательны!</source>
        <translation>Are you sure? Be careful!</translation>
    </message>
    <message>
        <source>У Вас выбрана прошивка для модуля </source>
        <translation>You have chosen the firmware for the module </translation>
    </message>
    <message>
        <source>Продолжить?</source>
        <translation>Continue?</translation>
    </message>
    <message>
        <source>заголовок</source>
        <translation>header</translation>
    </message>
    <message>
        <source>время чтения</source>
        <translation>reading time</translation>
    </message>
    <message>
        <source>записи измерений</source>
        <translation>measurement records</translation>
    </message>
    <message>
        <source>Файл «%1» пуст.</source>
        <translation>The file “%1” is empty.</translation>
    </message>
    <message>
        <source>Файл «%1» не похож на память станции: в его заголовке нет ни «ZEL», ни «E1».</source>
        <translation>The file “%1” does not look like a station memory: its header holds neither “ZEL” nor “E1”.</translation>
    </message>
    <message>
        <source>Файл «%1» слишком короткий: он кончается на байте %2, где должна стоять длина блока %3 (%4).</source>
        <translation>The file “%1” is too short: it ends at byte %2, where the length of block %3 (%4) should stand.</translation>
    </message>
    <message>
        <source>Файл «%1» не похож на память станции: блок %2 (%3) с байта %4 объявляет отрицательную длину %5.</source>
        <translation>The file “%1” does not look like a station memory: block %2 (%3) at byte %4 declares the negative length %5.</translation>
    </message>
    <message>
        <source>Файл «%1» не похож на память станции: блок %2 (%3) с байта %4 объявляет длину %5 байт, а за ней в файле %6 байт.</source>
        <translation>The file “%1” does not look like a station memory: block %2 (%3) at byte %4 declares a length of %5 bytes, but the file holds %6 bytes after it.</translation>
    </message>
    <message>
        <source>Эта программа для &quot;ZEL-TERRAVOX&quot; версии 1XX</source>
        <translation>This program is for &quot;ZEL-TERRAVOX&quot; version 1XX</translation>
    </message>
    <message>
        <source>Станция не отвечает: проверьте кабель и питание станции, выбранный порт и скорость, установленную на станции.</source>
        <translation>The station does not answer: check the cable and the station&apos;s power, the port chosen and the speed set on the station.</translation>
    </message>
    <message>
        <source>Станция отвечает, но без кода связи: проверьте скорость, установленную на станции.</source>
        <translation>The station answers, but without the link code: check the speed set on the station.</translation>
    </message>
    <message>
        <source>Станция не прислала заголовок памяти: проверьте скорость на станции и повторите чтение.</source>
        <translation>The station sent no memory header: check the speed on the station and read again.</translation>
    </message>
    <message>
        <source>Передача данных прервалась: проверьте кабель и питание станции и повторите чтение.</source>
        <translation>The data transfer broke off: check the cable and the station&apos;s power and read again.</translation>
    </message>
    <message>
        <source>Данные пришли искажёнными: проверьте кабель и повторите чтение.</source>
        <translation>The data arrived corrupted: check the cable and read again.</translation>
    </message>
    <message>
        <source>Станция не подтвердила таблицу: проверьте кабель и скорость и повторите запись.</source>
        <translation>The station did not confirm the table: check the cable and the speed and write again.</translation>
    </message>
    <message>
        <source>Станция не подтвердила прошивку: проверьте кабель и повторите запись.</source>
        <translation>The station did not confirm the firmware: check the cable and write again.</translation>
    </message>
    <message>
        <source>Книга записана в файл %1, но открыть её нечем: установите программу для таблиц (например, LibreOffice Calc) или откройте файл на другом компьютере.</source>
        <translation>The workbook was written to %1, but there is nothing to open it with: install a spreadsheet program (for example, LibreOffice Calc) or open the file on another computer.</translation>
    </message>
    <message>
        <source>Открыть папку</source>
        <translation>Open folder</translation>
    </message>
    <message>
        <source>Survey geometry...</source>
        <translation>Survey geometry...</translation>
    </message>
    <message>
        <source>Профилей в данных несколько: записан файл на каждый профиль.</source>
        <translation>The data hold several profiles: one file was written per profile.</translation>
    </message>
    <message>
        <source>ZEL-TERRAVOX: профиль</source>
        <translation>ZEL-TERRAVOX: profile</translation>
    </message>
    <message>
        <source>ZEL-TERRAVOX: псевдоразрез</source>
        <translation>ZEL-TERRAVOX: pseudosection</translation>
    </message>
    <message>
        <source>Логарифмическая ось</source>
        <translation>Logarithmic axis</translation>
    </message>
    <message>
        <source>Все измерения</source>
        <translation>All measurements</translation>
    </message>
    <message>
        <source>Save image...</source>
        <translation>Save image...</translation>
    </message>
    <message>
        <source>Генератор таблицы электродов</source>
        <translation>Electrode table generator</translation>
    </message>
    <message>
        <source>Установка:</source>
        <translation>Array:</translation>
    </message>
    <message>
        <source>Электродов на линии:</source>
        <translation>Electrodes on the line:</translation>
    </message>
    <message>
        <source>Номер первого электрода:</source>
        <translation>First electrode number:</translation>
    </message>
    <message>
        <source>Каналов:</source>
        <translation>Channels:</translation>
    </message>
    <message>
        <source>Записей в таблице: %1</source>
        <translation>Entries in the table: %1</translation>
    </message>
    <message>
        <source>Записать в станцию таблицу из %1 записей?</source>
        <translation>Write a table of %1 entries to the station?</translation>
    </message>
    <message>
        <source>Чтение сохранено: %1</source>
        <translation>Reading kept: %1</translation>
    </message>
    <message>
        <source>Чтение не удалось сохранить в папку чтений (%1); сохраните его командой Save File.</source>
        <translation>The reading could not be kept in the readings folder (%1); save it with Save File.</translation>
    </message>
    <message>
        <source>Recent readings</source>
        <translation>Recent readings</translation>
    </message>
    <message>
        <source>Open readings folder</source>
        <translation>Open readings folder</translation>
    </message>
    <message>
        <source>(no readings kept yet)</source>
        <translation>(no readings kept yet)</translation>
    </message>
    <message>
        <source>&lt;a href=&quot;help&quot;&gt;Справка&lt;/a&gt;</source>
        <translation>&lt;a href=&quot;help&quot;&gt;Help&lt;/a&gt;</translation>
    </message>
    <message>
        <source>Принято %1 из %2 байт</source>
        <translation>Received %1 of %2 bytes</translation>
    </message>
    <message>
        <source>Передано %1 из %2 байт</source>
        <translation>Sent %1 of %2 bytes</translation>
    </message>
    <message>
        <source>Идёт обмен со станцией: дождитесь его окончания</source>
        <translation>The station dialogue is running: wait for it to end</translation>
    </message>
    <message>
        <source>«%1» — не обычный файл (устройство, канал или папка): прочитать его как файл нельзя</source>
        <translation>&quot;%1&quot; is not a regular file (a device, a pipe or a folder): it cannot be read as a file</translation>
    </message>
    <message>
        <source>«%1» — это входной файл: запись в него уничтожила бы данные. Укажите другое имя</source>
        <translation>&quot;%1&quot; is the input file: writing it would destroy the data. Give another name</translation>
    </message>
    <message>
        <source>нужно число от %1 до %2</source>
        <translation>a number from %1 to %2 is needed</translation>
    </message>
    <message>
        <source>нужно consecutive или first</source>
        <translation>consecutive or first is needed</translation>
    </message>
    <message>
        <source>%1: неверное значение [Survey] %2=%3: %4</source>
        <translation>%1: bad value [Survey] %2=%3: %4</translation>
    </message>
    <message>
        <source>до сохранения верного значения взято значение по умолчанию</source>
        <translation>the default is used until a valid value is saved</translation>
    </message>
    <message>
        <source>no such port (%1). Is the adapter plugged in, and does the Device Manager list it under Ports (COM &amp; LPT)?</source>
        <translation>no such port (%1). Is the adapter plugged in, and does the Device Manager list it under Ports (COM &amp; LPT)?</translation>
    </message>
    <message>
        <source>access denied (%1). Another program may hold the port, or the adapter&apos;s driver refuses it: see the Device Manager.</source>
        <translation>access denied (%1). Another program may hold the port, or the adapter&apos;s driver refuses it: see the Device Manager.</translation>
    </message>
    <message>
        <source>This usually means that no serial adapter is plugged in, that its driver is missing (the Device Manager lists the adapter under Ports (COM &amp; LPT) once it works), or that another program holds the port. The program carries on without a port: data files can still be loaded, viewed and exported.</source>
        <translation>This usually means that no serial adapter is plugged in, that its driver is missing (the Device Manager lists the adapter under Ports (COM &amp; LPT) once it works), or that another program holds the port. The program carries on without a port: data files can still be loaded, viewed and exported.</translation>
    </message>
    <message>
        <source>Остановлено пользователем</source>
        <translation>Stopped by the user</translation>
    </message>
    <message>
        <source>Стоп</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Идёт обмен со станцией. Остановить его и закрыть программу?</source>
        <translation>The station dialogue is still running. Stop it and close the program?</translation>
    </message>
    <message>
        <source>Все профили</source>
        <translation>All profiles</translation>
    </message>
    <message>
        <source>Чтения хранятся в папке %1, но открыть её нечем: откройте её в файловом менеджере.</source>
        <translation>Readings are kept in the folder %1, but nothing here opens folders: open it in a file manager.</translation>
    </message>
    <message>
        <source>%1 нужно целое число от %2 до %3.</source>
        <translation>%1 needs a whole number from %2 to %3.</translation>
    </message>
    <message>
        <source>Таблица записана в файл %1</source>
        <translation>The table was written to %1</translation>
    </message>
    <message>
        <source>Записан файл %1</source>
        <translation>Written: %1</translation>
    </message>
    <message>
        <source>Загружен файл %1: измерений %2</source>
        <translation>Loaded %1: %2 measurements</translation>
    </message>
    <message>
        <source>Настройки не сохраняются: файл %1 недоступен для записи. Выбранные порт, язык и геометрия действуют до закрытия программы.</source>
        <translation>Settings are not saved: the file %1 cannot be written. The chosen port, language and geometry last until the program closes.</translation>
    </message>
    <message>
        <source>%1, строка %2: не номер измерения и канал этих данных; исключения из файла не применены.</source>
        <translation>%1, line %2: not a measurement index and channel of this data; no exclusion of the file was applied.</translation>
    </message>
    <message>
        <source>Data check...</source>
        <translation>Data check...</translation>
    </message>
    <message>
        <source>Линия не затихает: станция продолжает передачу</source>
        <translation>The line does not go quiet: the station goes on sending</translation>
    </message>
    <message>
        <source>Ответ станции не является заголовком памяти</source>
        <translation>The station&apos;s answer is not a memory header</translation>
    </message>
    <message>
        <source>Станция ещё передаёт прерванное чтение: подождите, пока она закончит (или выключите и включите её), и повторите чтение.</source>
        <translation>The station is still sending a reading that was broken off: wait until it has finished (or switch it off and on) and read again.</translation>
    </message>
    <message>
        <source>Чтение не удалось сохранить в папку чтений (%1).</source>
        <translation>The reading could not be kept in the readings folder (%1).</translation>
    </message>
    <message>
        <source>Все %1 значений с положениями электродов оставлены в стороне: исключено %2, отмечено проверкой %3; выгружать нечего</source>
        <translation>All %1 values with electrode positions are left out: %2 excluded, %3 flagged by the check; nothing to export</translation>
    </message>
    <message>
        <source>Файл рельефа «%1», строка %2: нужны два числа — x (или номер электрода) и высота</source>
        <translation>Topography file &quot;%1&quot;, line %2: two numbers are needed, x (or the electrode number) and the elevation</translation>
    </message>
    <message>
        <source>В файле рельефа «%1» нет ни одной высоты</source>
        <translation>The topography file &quot;%1&quot; has no elevation</translation>
    </message>
    <message>
        <source>Файл рельефа «%1», строка %2: %3 вне пределов от %4 до %5</source>
        <translation>Topography file &quot;%1&quot;, line %2: %3 is outside %4 to %5</translation>
    </message>
    <message>
        <source>Профиль L%1 F%2: электроды %3 и %4 стоят в одной точке, x = %5 м: проверьте шаг и рельеф</source>
        <translation>Profile L%1 F%2: electrodes %3 and %4 stand at one place, x = %5 m: check the spacing and the topography</translation>
    </message>
    <message>
        <source>Файл рельефа «%1», строка %2: для %3 уже дана другая высота</source>
        <translation>Topography file &quot;%1&quot;, line %2: %3 already has another height</translation>
    </message>
    <message>
        <source>Файл геометрии линий «%1», строка %2: «%3» — непонятная строка или значение вне пределов</source>
        <translation>Lines geometry file &quot;%1&quot;, line %2: &quot;%3&quot; is not understood or out of range</translation>
    </message>
    <message>
        <source>Invert...</source>
        <translation>Invert...</translation>
    </message>
    <message>
        <source>для этого профиля нужно около %1 памяти, свободно %2</source>
        <translation>this line needs about %1; %2 are free</translation>
    </message>
    <message>
        <source>для этого профиля не хватило памяти, свободно %1</source>
        <translation>not enough memory for this line; %1 are free</translation>
    </message>
    <message>
        <source>%1 ГБ</source>
        <translation>%1 GB</translation>
    </message>
    <message>
        <source>%1 МБ</source>
        <translation>%1 MB</translation>
    </message>
    <message>
        <source>у электродов %1 нет своей высоты: они взяты на прямой между электродами %2 и %3</source>
        <translation>electrodes %1 have no height of their own: taken on the straight line between electrodes %2 and %3</translation>
    </message>
    <message>
        <source>рельеф не доходит до конца линии: электроды %1 взяты на ровной земле высотой %2 м</source>
        <translation>the topography does not reach this end of the line: electrodes %1 taken on level ground at %2 m</translation>
    </message>
    <message>
        <source>рельеф не доходит до конца линии: x от %1 до %2 м взят ровным на высоте %3 м</source>
        <translation>the topography does not reach this end of the line: x %1 to %2 m taken level at %3 m</translation>
    </message>
    <message>
        <source>Идёт инверсия. Остановить её и закрыть программу?</source>
        <translation>An inversion is running. Stop it and close the program?</translation>
    </message>
    <message>
        <source>L%1 F%2: %3 values, %4 flagged (%5), median error %6</source>
        <translation>L%1 F%2: %3 values, %4 flagged (%5), median error %6</translation>
    </message>
    <message>
        <source>none</source>
        <translation>none</translation>
    </message>
    <message>
        <source>расстояние между электродами %1 м: значение по умолчанию, для этого чтения не задано</source>
        <translation>spacing %1 m: the default, not set for this reading</translation>
    </message>
    <message>
        <source>Модель записана: %1</source>
        <translation>Model written: %1</translation>
    </message>
    <message>
        <source>Идёт инверсия: команда не выполнена. Дайте её снова, когда инверсия кончится или после «Стоп» в окне этой инверсии (разрез, сравнение или все линии)</source>
        <translation>An inversion is running: the command was not carried out. Give it again when the inversion has ended, or after Stop in its window (the section, the comparison or all lines)</translation>
    </message>
    <message>
        <source>L%1 F%2: error model from %3 repeat and reciprocal pairs: err = %4 ohm + %5 % of |R|</source>
        <translation>L%1 F%2: error model from %3 repeat and reciprocal pairs: err = %4 ohm + %5 % of |R|</translation>
    </message>
    <message>
        <source>Линии %1 в данных нет</source>
        <translation>Line %1 is not in the data</translation>
    </message>
    <message>
        <source>Линия %1 целиком: файл %2 размечен с шагом %3 м, а файл %4 — с шагом %5 м; в одну линию собираются только расстановки с одним шагом</source>
        <translation>Whole line %1: file %2 is placed at a spacing of %3 m and file %4 at %5 m; only spreads of one spacing make one line</translation>
    </message>
    <message>
        <source>All lines</source>
        <translation>All lines</translation>
    </message>
    <message>
        <source>Линия %1 целиком: у файла %2 нет своего X0 в геометрии линий; расстановки собираются в линию только по своим X0 (иначе они ложатся друг на друга)</source>
        <translation>Whole line %1: file %2 has no X0 of its own in the lines&apos; geometry; spreads make one line only by their own X0s (else they lie on each other)</translation>
    </message>
    <message>
        <source>Линия %1 целиком: файлы %2 и %3 размечены с одним X0 = %4 м; расстановки одной линии лежат в разных местах</source>
        <translation>Whole line %1: files %2 and %3 are placed at one X0 = %4 m; the spreads of one line lie in different places</translation>
    </message>
    <message>
        <source> (на частоте %1 Гц)</source>
        <translation> (at %1 Hz)</translation>
    </message>
    <message>
        <source>Профиль L%1 F%2: между %3 и %4 земля поднимается на %5 м, а лента на ней — %6 м: по склону так не бывает; проверьте рельеф и шаг</source>
        <translation>Profile L%1 F%2: between %3 and %4 the ground rises %5 m, and the tape laid on it is %6 m: no slope is like that; check the topography and the spacing</translation>
    </message>
    <message>
        <source>для модели съёмки не хватило памяти, свободно %1</source>
        <translation>not enough memory for the survey model; %1 are free</translation>
    </message>
    <message>
        <source>для модели съёмки нужно около %1 памяти, свободно %2</source>
        <translation>the survey model needs about %1 of memory; %2 are free</translation>
    </message>
    <message>
        <source>выброс</source>
        <translation>outlier</translation>
    </message>
    <message>
        <source>отрицательный</source>
        <translation>negative</translation>
    </message>
    <message>
        <source>округление</source>
        <translation>rounding</translation>
    </message>
    <message>
        <source>разные токи</source>
        <translation>other currents</translation>
    </message>
    <message>
        <source>L%1 F%2: частотный эффект %3/%4 Гц у %5 четырёхполюсников, медиана %6 % (%7)</source>
        <translation>L%1 F%2: frequency effect %3/%4 Hz of %5 quadripoles, median %6 % (%7)</translation>
    </message>
    <message>
        <source>L%1 F%2: каналы %3 из %4 записей не спадают как соседние диполи (записи %5): каналы подключены иначе, или это повторы одного диполя (в геометрии съёмки «только первый канал»)?</source>
        <translation>L%1 F%2: the channels of %3 of %4 records do not fall as consecutive dipoles do (records %5): are the channels wired otherwise, or repeats of one dipole (channel 1 alone in the survey geometry)?</translation>
    </message>
    <message>
        <source>Лист разносов «%1», строка %2: «%3» — ожидаются номер станции, AB/2 и MN/2 в метрах (MN/2 меньше AB/2, станция один раз на лист)</source>
        <translation>Spacing sheet &quot;%1&quot;, line %2: &quot;%3&quot; — expected a station number, AB/2 and MN/2 in metres (MN/2 less than AB/2, each station once a sheet)</translation>
    </message>
    <message>
        <source>Sounding</source>
        <translation>Sounding</translation>
    </message>
</context>
<context>
    <name>zel::texts::Refusals</name>
    <message>
        <source>an electrode&apos;s position is not a number</source>
        <translation>an electrode&apos;s position is not a number</translation>
    </message>
    <message>
        <source>a datum&apos;s error is not a number</source>
        <translation>a datum&apos;s error is not a number</translation>
    </message>
    <message>
        <source>fewer than 4 electrodes</source>
        <translation>fewer than 4 electrodes</translation>
    </message>
    <message>
        <source>fewer than 4 data</source>
        <translation>fewer than 4 data</translation>
    </message>
    <message>
        <source>no cell under the line</source>
        <translation>no cell under the line</translation>
    </message>
    <message>
        <source>the base model was made on another mesh</source>
        <translation>the base model was made on another mesh</translation>
    </message>
    <message>
        <source>the electrodes must be at least two, each at its own position</source>
        <translation>the electrodes must be at least two, each at its own position</translation>
    </message>
    <message>
        <source>an electrode&apos;s height is not a number</source>
        <translation>an electrode&apos;s height is not a number</translation>
    </message>
    <message>
        <source>the ground is too steep for the mesh: its rows would cross</source>
        <translation>the ground is too steep for the mesh: its rows would cross</translation>
    </message>
    <message>
        <source>the ground is too steep for the mesh: a cell would turn inside out</source>
        <translation>the ground is too steep for the mesh: a cell would turn inside out</translation>
    </message>
    <message>
        <source>the first reading has no value to take: every apparent resistivity is at most 0 or out of range</source>
        <translation>the first reading has no value to take: every apparent resistivity is at most 0 or out of range</translation>
    </message>
    <message>
        <source>the later reading has no value to take: every apparent resistivity is at most 0 or out of range</source>
        <translation>the later reading has no value to take: every apparent resistivity is at most 0 or out of range</translation>
    </message>
    <message>
        <source>no cell under the lines</source>
        <translation>no cell under the lines</translation>
    </message>
    <message>
        <source>two electrodes at one place</source>
        <translation>two electrodes at one place</translation>
    </message>
    <message>
        <source>fewer than 2 electrodes on every line</source>
        <translation>fewer than 2 electrodes on every line</translation>
    </message>
    <message>
        <source>the ground is too steep for the mesh to follow it</source>
        <translation>the ground is too steep for the mesh to follow it</translation>
    </message>
</context>
</TS>
