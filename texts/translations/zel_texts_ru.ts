<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru">
<context>
    <name>zel::texts</name>
    <message>
        <source>Количество измерений %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Блок записей неполный: декодировано измерений %1 из %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Невозможно открыть порт</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Время ожидания истекло (1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Не установлено соединение</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Время ожидания истекло (2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Считано %1 байт</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Время ожидания истекло (3)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Не совпали контрольные суммы</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Повторите ввод</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Время ожидания k/s истекло (4)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Таблица записана успешно! Всего %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Не совпала контрольная сумма</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> Запись программы в EEPROM</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> Время ожидания истекло (2), %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> Программа загружена</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Не совпала контрольная сумма </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Остановлено пользователем</source>
        <translation type="unfinished"></translation>
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
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot open file &quot;%1&quot;. %2</source>
        <translation>Cannot open file &quot;%1&quot;. %2</translation>
    </message>
    <message>
        <source>Файл &quot;%1&quot; слишком велик (%2 байт) для файла данных станции</source>
        <translation type="unfinished"></translation>
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
        <source>«%1» — не обычный файл (устройство, канал или папка): прочитать его как файл нельзя</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>«%1» — это входной файл: запись в него уничтожила бы данные. Укажите другое имя</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Строка %1: %2 = %3 вне пределов от %4 до %5</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Строка %1: запись неполная, нужны четыре числа A, B, M, N</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Invalid numeric input &quot;%1&quot; in line %2</source>
        <translation>Invalid numeric input &quot;%1&quot; in line %2</translation>
    </message>
    <message>
        <source>Строка %1: в таблице больше %2 записей</source>
        <translation type="unfinished"></translation>
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
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Файл прошивки слишком велик: %1 байт, допустимо не более %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>В данных нет измерений с положениями электродов (методы 1–5): выгружать нечего</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 = %2: нужно %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Установка %1 одноканальная: четыре канала бывают только у диполь-дипольной</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>На линии из %1 электродов не помещается ни одна установка: уменьшите a или n</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>В таблице было бы %1 записей, а станция принимает не больше %2, на %3 меньше: уменьшите a-max, n-max или число электродов</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Электрод %1 = %2 вне пределов от %3 до %4 на %5: сдвиньте первый номер или уменьшите линию</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Профиля L%1 F%2 (линия %1, файл %2) в данных нет</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no such port (%1). Is the adapter plugged in, and does the Device Manager list it under Ports (COM &amp; LPT)?</source>
        <translation>порт не найден (%1). Подключён ли адаптер и есть ли он в Диспетчере устройств в разделе «Порты (COM и LPT)»?</translation>
    </message>
    <message>
        <source>access denied (%1). Another program may hold the port, or the adapter&apos;s driver refuses it: see the Device Manager.</source>
        <translation>доступ запрещён (%1). Порт может быть занят другой программой, или драйвер адаптера его не открывает: проверьте Диспетчер устройств.</translation>
    </message>
    <message>
        <source>no such device (%1). Is the adapter plugged in?</source>
        <translation>устройство не найдено (%1). Подключён ли адаптер?</translation>
    </message>
    <message>
        <source>permission denied (%1). Your user must be in the group dialout: sudo adduser $USER dialout, then log out and in again.</source>
        <translation>нет прав доступа (%1). Пользователь должен входить в группу dialout: sudo adduser $USER dialout, затем выйдите из системы и войдите снова.</translation>
    </message>
    <message>
        <source>the port is busy: another program holds it (%1).</source>
        <translation>порт занят другой программой (%1).</translation>
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
        <source>This usually means that no serial adapter is plugged in, that its driver is missing (the Device Manager lists the adapter under Ports (COM &amp; LPT) once it works), or that another program holds the port. The program carries on without a port: data files can still be loaded, viewed and exported.</source>
        <translation>Обычно это значит, что последовательный адаптер не подключён, что для него не установлен драйвер (работающий адаптер виден в Диспетчере устройств в разделе «Порты (COM и LPT)») или что порт занят другой программой. Программа работает и без порта: файлы данных можно загружать, просматривать и экспортировать.</translation>
    </message>
    <message>
        <source>On Linux this usually means that your user is not in the group dialout (sudo adduser $USER dialout, then log out and in again), or that no serial adapter is plugged in. The program carries on without a port: data files can still be loaded, viewed and exported.</source>
        <translation>В Linux это обычно значит, что пользователь не входит в группу dialout (sudo adduser $USER dialout, затем выйдите из системы и войдите снова) или что последовательный адаптер не подключён. Программа работает и без порта: файлы данных можно загружать, просматривать и экспортировать.</translation>
    </message>
    <message>
        <source>Вы уверены? Будьте внимательны!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>У Вас выбрана прошивка для модуля </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Продолжить?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>заголовок</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>время чтения</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>записи измерений</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Файл «%1» пуст.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Файл «%1» не похож на память станции: в его заголовке нет ни «ZEL», ни «E1».</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Файл «%1» слишком короткий: он кончается на байте %2, где должна стоять длина блока %3 (%4).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Файл «%1» не похож на память станции: блок %2 (%3) с байта %4 объявляет отрицательную длину %5.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Файл «%1» не похож на память станции: блок %2 (%3) с байта %4 объявляет длину %5 байт, а за ней в файле %6 байт.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Эта программа для &quot;ZEL-TERRAVOX&quot; версии 1XX</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Станция не отвечает: проверьте кабель и питание станции, выбранный порт и скорость, установленную на станции.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Станция отвечает, но без кода связи: проверьте скорость, установленную на станции.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Станция не прислала заголовок памяти: проверьте скорость на станции и повторите чтение.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Передача данных прервалась: проверьте кабель и питание станции и повторите чтение.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Данные пришли искажёнными: проверьте кабель и повторите чтение.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Станция не подтвердила таблицу: проверьте кабель и скорость и повторите запись.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Станция не подтвердила прошивку: проверьте кабель и повторите запись.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Книга записана в файл %1, но открыть её нечем: установите программу для таблиц (например, LibreOffice Calc) или откройте файл на другом компьютере.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Открыть папку</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Survey geometry...</source>
        <translation>Survey geometry...</translation>
    </message>
    <message>
        <source>Профилей в данных несколько: записан файл на каждый профиль.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ZEL-TERRAVOX: профиль</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ZEL-TERRAVOX: псевдоразрез</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Логарифмическая ось</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Все измерения</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Все профили</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save image...</source>
        <translation>Сохранить изображение...</translation>
    </message>
    <message>
        <source>Генератор таблицы электродов</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Установка:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Электродов на линии:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Номер первого электрода:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Каналов:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Записей в таблице: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Записать в станцию таблицу из %1 записей?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>нужно число от %1 до %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>нужно consecutive или first</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: неверное значение [Survey] %2=%3: %4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>до сохранения верного значения взято значение по умолчанию</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Чтение сохранено: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Чтение не удалось сохранить в папку чтений (%1); сохраните его командой Save File.</source>
        <translation type="unfinished"></translation>
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
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Принято %1 из %2 байт</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Передано %1 из %2 байт</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Идёт обмен со станцией: дождитесь его окончания</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Стоп</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Идёт обмен со станцией. Остановить его и закрыть программу?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Чтения хранятся в папке %1, но открыть её нечем: откройте её в файловом менеджере.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 нужно целое число от %2 до %3.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Таблица записана в файл %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Записан файл %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Загружен файл %1: измерений %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Настройки не сохраняются: файл %1 недоступен для записи. Выбранные порт, язык и геометрия действуют до закрытия программы.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, строка %2: не номер измерения и канал этих данных; исключения из файла не применены.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Data check...</source>
        <translation>Data check...</translation>
    </message>
    <message>
        <source>Линия не затихает: станция продолжает передачу</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ответ станции не является заголовком памяти</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Станция ещё передаёт прерванное чтение: подождите, пока она закончит (или выключите и включите её), и повторите чтение.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Чтение не удалось сохранить в папку чтений (%1).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Все %1 значений с положениями электродов оставлены в стороне: исключено %2, отмечено проверкой %3; выгружать нечего</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Файл рельефа «%1», строка %2: нужны два числа — x (или номер электрода) и высота</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>В файле рельефа «%1» нет ни одной высоты</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Файл рельефа «%1», строка %2: %3 вне пределов от %4 до %5</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Профиль L%1 F%2: электроды %3 и %4 стоят в одной точке, x = %5 м: проверьте шаг и рельеф</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Файл рельефа «%1», строка %2: для %3 уже дана другая высота</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Файл геометрии линий «%1», строка %2: «%3» — непонятная строка или значение вне пределов</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Invert...</source>
        <translation>Инверсия...</translation>
    </message>
    <message>
        <source>для этого профиля нужно около %1 памяти, свободно %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>для этого профиля не хватило памяти, свободно %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 ГБ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 МБ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>у электродов %1 нет своей высоты: они взяты на прямой между электродами %2 и %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>рельеф не доходит до конца линии: электроды %1 взяты на ровной земле высотой %2 м</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>рельеф не доходит до конца линии: x от %1 до %2 м взят ровным на высоте %3 м</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Идёт инверсия. Остановить её и закрыть программу?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>L%1 F%2: %3 values, %4 flagged (%5), median error %6</source>
        <translation>L%1 F%2: значений %3, отмечено %4 (%5), медиана погрешности %6</translation>
    </message>
    <message>
        <source>none</source>
        <translation>нет</translation>
    </message>
    <message>
        <source>расстояние между электродами %1 м: значение по умолчанию, для этого чтения не задано</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Модель записана: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Идёт инверсия: команда не выполнена. Дайте её снова, когда инверсия кончится или после «Стоп» в окне этой инверсии (разрез, сравнение или все линии)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>L%1 F%2: error model from %3 repeat and reciprocal pairs: err = %4 ohm + %5 % of |R|</source>
        <translation>L%1 F%2: модель погрешности по %3 парам повторов и взаимных измерений: погр. = %4 Ом + %5 % от |R|</translation>
    </message>
    <message>
        <source>Линии %1 в данных нет</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Линия %1 целиком: файл %2 размечен с шагом %3 м, а файл %4 — с шагом %5 м; в одну линию собираются только расстановки с одним шагом</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All lines</source>
        <translation>Все линии</translation>
    </message>
    <message>
        <source>Линия %1 целиком: у файла %2 нет своего X0 в геометрии линий; расстановки собираются в линию только по своим X0 (иначе они ложатся друг на друга)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Линия %1 целиком: файлы %2 и %3 размечены с одним X0 = %4 м; расстановки одной линии лежат в разных местах</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> (на частоте %1 Гц)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Профиль L%1 F%2: между %3 и %4 земля поднимается на %5 м, а лента на ней — %6 м: по склону так не бывает; проверьте рельеф и шаг</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>для модели съёмки не хватило памяти, свободно %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>для модели съёмки нужно около %1 памяти, свободно %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>выброс</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>отрицательный</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>округление</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>разные токи</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>L%1 F%2: частотный эффект %3/%4 Гц у %5 четырёхполюсников, медиана %6 % (%7)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>L%1 F%2: каналы %3 из %4 записей не спадают как соседние диполи (записи %5): каналы подключены иначе, или это повторы одного диполя (в геометрии съёмки «только первый канал»)?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Лист разносов «%1», строка %2: «%3» — ожидаются номер станции, AB/2 и MN/2 в метрах (MN/2 меньше AB/2, станция один раз на лист)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sounding</source>
        <translation>Зондирование</translation>
    </message>
</context>
<context>
    <name>zel::texts::Refusals</name>
    <message>
        <source>an electrode&apos;s position is not a number</source>
        <translation>положение электрода — не число</translation>
    </message>
    <message>
        <source>a datum&apos;s error is not a number</source>
        <translation>погрешность значения — не число</translation>
    </message>
    <message>
        <source>fewer than 4 electrodes</source>
        <translation>меньше 4 электродов</translation>
    </message>
    <message>
        <source>fewer than 4 data</source>
        <translation>меньше 4 значений</translation>
    </message>
    <message>
        <source>no cell under the line</source>
        <translation>под линией нет ни одной ячейки</translation>
    </message>
    <message>
        <source>the base model was made on another mesh</source>
        <translation>базовая модель построена на другой сетке</translation>
    </message>
    <message>
        <source>the electrodes must be at least two, each at its own position</source>
        <translation>нужно не меньше двух электродов, каждый на своём месте</translation>
    </message>
    <message>
        <source>an electrode&apos;s height is not a number</source>
        <translation>высота электрода — не число</translation>
    </message>
    <message>
        <source>the ground is too steep for the mesh: its rows would cross</source>
        <translation>рельеф слишком крут для сетки: её ряды пересеклись бы</translation>
    </message>
    <message>
        <source>the ground is too steep for the mesh: a cell would turn inside out</source>
        <translation>рельеф слишком крут для сетки: ячейка вывернулась бы</translation>
    </message>
    <message>
        <source>the first reading has no value to take: every apparent resistivity is at most 0 or out of range</source>
        <translation>в первом измерении нечего взять: все кажущиеся сопротивления не больше 0 или вне диапазона</translation>
    </message>
    <message>
        <source>the later reading has no value to take: every apparent resistivity is at most 0 or out of range</source>
        <translation>в позднем измерении нечего взять: все кажущиеся сопротивления не больше 0 или вне диапазона</translation>
    </message>
    <message>
        <source>no cell under the lines</source>
        <translation>под линиями нет ни одной ячейки</translation>
    </message>
    <message>
        <source>two electrodes at one place</source>
        <translation>два электрода стоят в одной точке</translation>
    </message>
    <message>
        <source>fewer than 2 electrodes on every line</source>
        <translation>ни на одной линии нет двух электродов</translation>
    </message>
    <message>
        <source>the ground is too steep for the mesh to follow it</source>
        <translation>рельеф слишком крутой: сетка не может за ним следовать</translation>
    </message>
</context>
</TS>
